#include "Flight.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "CameraMath.h"

namespace {

constexpr double kTiltLimit = 90.0 - camera_math::kMinTilt;
constexpr double kLargest = 1e15;  // as --camera takes
const char* const kFields[] = {"X", "Y", "Z", "TILT", "HEADING", "SECONDS"};

// The shortest "%.Ng" that reads back as `v`: 10 digits for the usual figures, more only
// when they would lose something.
std::string Exact(double v) {
  char text[40];
  for (int digits = 10; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  return text;
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// One keyframe line, comments and blanks already gone; empty when it is good, else what is wrong.
std::string ParseKeyframe(const std::string& line, Keyframe* key) {
  double v[6];
  size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    const size_t comma = line.find(',', start);
    if ((comma == std::string::npos) != (i == 5)) return "a keyframe is six numbers X,Y,Z,TILT,HEADING,SECONDS";
    const std::string part = Trimmed(line.substr(start, comma == std::string::npos ? comma : comma - start));
    errno = 0;
    char* end = nullptr;
    v[i] = std::strtod(part.c_str(), &end);
    if (part.empty() || *end != '\0' || errno != 0 || !std::isfinite(v[i]) || std::fabs(v[i]) > kLargest)
      return std::string(kFields[i]) + " is not a number within +-1e15: \"" + part + "\"";
    start = comma + 1;
  }
  if (std::fabs(v[3]) > kTiltLimit) return "TILT must be from -89.5 to 89.5";
  if (v[5] < 0) return "SECONDS must not be negative";
  *key = Keyframe{CameraPlace{v[0], v[1], v[2], v[3], v[4]}, v[5]};
  return "";
}

// The angle `to` less whole turns, so that it lies within half a turn of `from`.
double NearestTurn(double from, double to) { return from + std::remainder(to - from, 360.0); }

// Time-parameterised Catmull-Rom as cubic Hermite segments: the velocity at a keyframe is
// the time-weighted mean of the slopes of the segments on either side (the Barry-Goldman
// form with the keyframes' times as knots), so a straight flight at a steady speed stays
// straight and steady however its keyframes are spaced. The ends mirror the neighbour
// (a phantom keyframe as far before the first as the second is after it), which makes
// the end velocity the first (last) segment's own slope.
double Velocity(const double* t, const double* p, size_t n, size_t i) {
  if (n < 2) return 0;
  if (i == 0) return (p[1] - p[0]) / (t[1] - t[0]);
  if (i == n - 1) return (p[n - 1] - p[n - 2]) / (t[n - 1] - t[n - 2]);
  const double before = t[i] - t[i - 1], after = t[i + 1] - t[i];
  const double slope_before = (p[i] - p[i - 1]) / before, slope_after = (p[i + 1] - p[i]) / after;
  return (slope_before * after + slope_after * before) / (before + after);
}

// The value at `seconds` within segment i (from keyframe i to i + 1).
double Spline(const double* t, const double* p, size_t n, size_t i, double seconds) {
  const double h = t[i + 1] - t[i], s = (seconds - t[i]) / h, s2 = s * s, s3 = s2 * s;
  const double h00 = 2 * s3 - 3 * s2 + 1, h10 = s3 - 2 * s2 + s, h01 = -2 * s3 + 3 * s2, h11 = s3 - s2;
  return h00 * p[i] + h10 * h * Velocity(t, p, n, i) + h01 * p[i + 1] + h11 * h * Velocity(t, p, n, i + 1);
}

}  // namespace

std::string FlightText(const Flight& flight) {
  std::string text = "# X,Y,Z,TILT,HEADING,SECONDS\n";
  for (const Keyframe& k : flight) {
    const CameraPlace& c = k.camera;
    text += Exact(c.x) + "," + Exact(c.y) + "," + Exact(c.z) + "," + Exact(c.tilt) + "," + Exact(c.heading) + "," +
            Exact(k.seconds) + "\n";
  }
  return text;
}

Status ParseFlight(const std::string& text, const std::string& name, Flight* flight) {
  Flight read;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    Keyframe key;
    std::string wrong = ParseKeyframe(line, &key);
    if (wrong.empty() && !read.empty() && !(key.seconds > read.back().seconds))
      wrong = "SECONDS must grow from one keyframe to the next";
    if (!wrong.empty()) return Status::Failure(name + " line " + std::to_string(number) + ": " + wrong);
    read.push_back(key);
  }
  if (read.size() < 2)
    return Status::Failure(name + ": a flight needs at least two keyframes, and it has " + std::to_string(read.size()));
  *flight = std::move(read);
  return Status::Ok();
}

Status ReadFlight(const std::string& path, Flight* flight) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Status::Failure(path + ": " + std::strerror(errno));
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return Status::Failure(path + ": cannot be read");
  return ParseFlight(text.str(), path, flight);
}

CameraPlace CameraAt(const Flight& flight, double seconds) {
  if (flight.empty()) return CameraPlace{};
  if (!(seconds > flight.front().seconds)) return flight.front().camera;
  if (!(seconds < flight.back().seconds)) return flight.back().camera;
  const auto after = std::upper_bound(flight.begin(), flight.end(), seconds,
                                      [](double s, const Keyframe& k) { return s < k.seconds; });
  const size_t i = static_cast<size_t>(after - flight.begin()) - 1;
  if (flight[i].seconds == seconds) return flight[i].camera;

  // The headings unwrapped: each within half a turn of the one before, so every segment
  // turns the shortest way and the spline sees no jump at 360.
  const size_t n = flight.size();
  std::vector<double> t(n), x(n), y(n), z(n), tilt(n), heading(n);
  for (size_t k = 0; k < n; ++k) {
    const Keyframe& key = flight[k];
    t[k] = key.seconds;
    x[k] = key.camera.x;
    y[k] = key.camera.y;
    z[k] = key.camera.z;
    tilt[k] = key.camera.tilt;
    heading[k] = k == 0 ? key.camera.heading : NearestTurn(heading[k - 1], key.camera.heading);
  }
  CameraPlace c;
  c.x = Spline(t.data(), x.data(), n, i, seconds);
  c.y = Spline(t.data(), y.data(), n, i, seconds);
  c.z = Spline(t.data(), z.data(), n, i, seconds);
  // A spline may overshoot between keyframes; the tilt stays within what a camera takes.
  c.tilt = std::clamp(Spline(t.data(), tilt.data(), n, i, seconds), -kTiltLimit, kTiltLimit);
  // Counted from the segment's first keyframe's own heading, so the figures stay near it.
  c.heading = Spline(t.data(), heading.data(), n, i, seconds) - (heading[i] - flight[i].camera.heading);
  return c;
}

int FlightFrames(const Flight& flight, int fps) { return static_cast<int>(std::lround(FlightSeconds(flight) * fps)) + 1; }

double FrameSeconds(const Flight& flight, int fps, int index) {
  return index >= FlightFrames(flight, fps) - 1 ? FlightSeconds(flight) : static_cast<double>(index) / fps;
}
