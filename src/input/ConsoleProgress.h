// A progress line for long work started from the console: "\tRendering OUT [#####.....] 50%",
// redrawn in place, only on a terminal and only once the work has taken a second; cleared
// when done, so that what follows (and every transcript) reads as without it.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

class ConsoleProgress {
 public:
  // `label` says what is done: "Rendering flight.mp4".
  explicit ConsoleProgress(std::string label, FILE* out = stdout);
  ~ConsoleProgress() { Done(); }
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  // The share of the work done, 0 to 1; redraws at most ten times a second.
  void Update(double fraction);
  // Clears the line if one was shown; later updates show nothing.
  void Done();

  // The line for `fraction`, without the leading carriage return.
  static std::string Line(const std::string& label, double fraction);

 private:
  std::string label_;
  FILE* out_;
  bool terminal_ = false, shown_ = false, done_ = false;
  std::chrono::steady_clock::time_point start_, last_;
};
