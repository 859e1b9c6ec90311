#include "RecordedFlight.h"

#include <algorithm>
#include <cmath>

Flight recorded_flight;

namespace {

int first_ms = 0;  // the clock when the first keyframe was added

}  // namespace

void RecordKeyframe(const CameraPlace& camera, int now_ms) {
  if (recorded_flight.empty()) first_ms = now_ms;
  double seconds = std::round((now_ms - first_ms) / 100.0) / 10;
  if (!recorded_flight.empty()) seconds = std::max(seconds, std::round(recorded_flight.back().seconds * 10 + 1) / 10);
  recorded_flight.push_back(Keyframe{camera, seconds});
}

bool DropLastKeyframe() {
  if (recorded_flight.empty()) return false;
  recorded_flight.pop_back();
  return true;
}
