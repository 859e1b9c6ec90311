#include "ConsoleProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

ConsoleProgress::ConsoleProgress(std::string label, FILE* out, std::chrono::milliseconds quiet_for)
    : label_(std::move(label)), out_(out) {
  if (out_ == nullptr || isatty(fileno(out_)) != 1) {
    done_ = true;
    return;
  }
  redrawer_ = std::thread([this, quiet_for] {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, quiet_for, [this] { return done_; })) return;
    do Redraw();
    while (!wake_.wait_for(lock, kRedrawEvery, [this] { return done_; }));
  });
}

std::string ConsoleProgress::Line(const std::string& label, double fraction) {
  fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  const int percent = static_cast<int>(fraction * 100);
  return "\t" + label + " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
         std::to_string(percent) + "%";
}

void ConsoleProgress::Redraw() {
  shown_ = true;
  fprintf(out_, "\r%s", Line(label_, fraction_).c_str());
  fflush(out_);
}

void ConsoleProgress::Update(double fraction) {
  std::lock_guard lock(mutex_);
  fraction_ = fraction;
}

void ConsoleProgress::Done() {
  {
    std::lock_guard lock(mutex_);
    if (done_ && !redrawer_.joinable()) return;
    done_ = true;
  }
  wake_.notify_all();
  if (redrawer_.joinable()) redrawer_.join();
  if (!shown_) return;
  shown_ = false;
  fputs("\r\033[K", out_);  // the line erased, the cursor back at its start
  fflush(out_);
}
