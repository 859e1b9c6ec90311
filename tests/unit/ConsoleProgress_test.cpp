// The progress line shows only on a terminal, redraws in place and is erased when done.
#include "ConsoleProgress.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

TEST(ConsoleProgress, LineHasTheBarAndThePercentage) {
  EXPECT_EQ(ConsoleProgress::Line("Rendering a.mp4", 0.5), "\tRendering a.mp4 [###############...............] 50%");
  EXPECT_EQ(ConsoleProgress::Line("x", 1.7), "\tx [##############################] 100%");
  EXPECT_EQ(ConsoleProgress::Line("x", -1), "\tx [..............................] 0%");
}

TEST(ConsoleProgress, NothingWhenTheOutputIsNoTerminal) {
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  {
    ConsoleProgress progress("Writing", file, std::chrono::milliseconds(0));
    progress.Update(0.3);
  }
  EXPECT_EQ(ftell(file), 0);
  fclose(file);
}

// What the terminal got, read until `until` appears in it.
std::string ReadUntil(int master, const std::string& until) {
  std::string got;
  char buffer[256];
  while (got.find(until) == std::string::npos) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

TEST(ConsoleProgress, OnATerminalTheLineIsDrawnThenErased) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FILE* terminal = fdopen(slave, "w");
  {
    ConsoleProgress progress("Writing", terminal, std::chrono::milliseconds(0));
    progress.Update(0.25);
    EXPECT_NE(ReadUntil(master, "25%").find("\r" + ConsoleProgress::Line("Writing", 0.25)), std::string::npos);
  }
  EXPECT_NE(ReadUntil(master, "\033[K").find("\r\033[K"), std::string::npos);

  // Work done within the quiet time leaves the terminal untouched.
  { ConsoleProgress quick("Writing", terminal, std::chrono::hours(1)); }
  pollfd readable{master, POLLIN, 0};
  EXPECT_EQ(poll(&readable, 1, 0), 0);
  fclose(terminal);
  close(master);
}

}  // namespace
