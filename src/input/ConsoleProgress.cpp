#include "ConsoleProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 30;
constexpr auto kQuietFor = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

ConsoleProgress::ConsoleProgress(std::string label, FILE* out)
    : label_(std::move(label)), out_(out), terminal_(out != nullptr && isatty(fileno(out)) == 1),
      start_(std::chrono::steady_clock::now()), last_(start_) {}

std::string ConsoleProgress::Line(const std::string& label, double fraction) {
  fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  const int percent = static_cast<int>(fraction * 100);
  return "\t" + label + " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
         std::to_string(percent) + "%";
}

void ConsoleProgress::Update(double fraction) {
  if (!terminal_ || done_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < kQuietFor || (shown_ && now - last_ < kRedrawEvery)) return;
  last_ = now;
  shown_ = true;
  fprintf(out_, "\r%s", Line(label_, fraction).c_str());
  fflush(out_);
}

void ConsoleProgress::Done() {
  if (done_) return;
  done_ = true;
  if (!shown_) return;
  fputs("\r\033[K", out_);  // the line erased, the cursor back at its start
  fflush(out_);
}
