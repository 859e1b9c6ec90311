// A progress line for long work started from the console: "\tRendering OUT [#####.....] 50%",
// redrawn in place, only on a terminal and only once the work has taken a second; cleared
// when done, so that what follows (and every transcript) reads as without it. A thread of
// its own redraws it, so that one long step of the work still shows the line.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

class ConsoleProgress {
 public:
  // `label` says what is done: "Rendering flight.mp4". `quiet_for` is how long the work
  // runs before the line shows.
  explicit ConsoleProgress(std::string label, FILE* out = stdout,
                           std::chrono::milliseconds quiet_for = std::chrono::seconds(1));
  ~ConsoleProgress() { Done(); }
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  // The share of the work done, 0 to 1.
  void Update(double fraction);
  // Clears the line if one was shown; later updates show nothing. Call it before printing
  // the outcome.
  void Done();

  // The line for `fraction`, without the leading carriage return.
  static std::string Line(const std::string& label, double fraction);

 private:
  void Redraw();

  std::string label_;
  FILE* out_;
  std::mutex mutex_;
  std::condition_variable wake_;
  double fraction_ = 0;
  bool shown_ = false, done_ = false;
  std::thread redrawer_;
};
