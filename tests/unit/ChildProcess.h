// Runs a piece of a test in a forked child, for what must not touch the test process:
// capped memory, output that is never flushed, a crash. RunAlone starts the program anew
// instead, for a piece that must not meet what earlier tests left in this process.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace child_process {

struct Outcome {
  bool exited = false;  // false when the child crashed
  int status = -1;      // its exit status
  std::string out;      // what it wrote to its standard output
};

// Runs body() in a child whose standard output goes to a fully buffered file; the child
// ends with _exit(body()), which flushes nothing, as when a program is killed.
inline Outcome Run(const std::function<int()>& body) {
  Outcome outcome;
  char path[] = "/tmp/child_process_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return outcome;
  fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    dup2(fd, STDOUT_FILENO);
    setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::ifstream file(path);
  outcome.out.assign(std::istreambuf_iterator<char>(file), {});
  close(fd);
  unlink(path);
  outcome.exited = WIFEXITED(status);
  outcome.status = outcome.exited ? WEXITSTATUS(status) : -1;
  return outcome;
}

constexpr const char* kAloneVariable = "CHILD_PROCESS_ALONE";

// True in the run that RunAlone started.
inline bool RunningAlone() { return getenv(kAloneVariable) != nullptr; }

// Runs the test `test` ("Suite.Name") once more, alone, in a new start of this program (with
// RunningAlone() true there), as Run does with a body. A forked child inherits the parent's
// heap: free blocks and the arenas of ended threads, which a capped address space does not
// hold back, so a cap taken in it depends on the tests that ran before. The test's gtest
// report is the outcome's output; its status is gtest's.
inline Outcome RunAlone(const char* test) {
  return Run([test] {
    const std::string filter = std::string("--gtest_filter=") + test;
    setenv(kAloneVariable, "1", 1);
    // Nothing may skip the test there or write over this run's report.
    for (const char* v : {"GTEST_OUTPUT", "GTEST_TOTAL_SHARDS", "GTEST_SHARD_INDEX", "GTEST_REPEAT"}) unsetenv(v);
    execl("/proc/self/exe", "/proc/self/exe", filter.c_str(), static_cast<char*>(nullptr));
    return 127;
  });
}

// Caps this process's address space `extra` bytes above its present size.
inline void CapAddressSpaceAbove(size_t extra) {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0;
  statm >> pages;
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = pages * sysconf(_SC_PAGESIZE) + extra;
  setrlimit(RLIMIT_AS, &limit);
}

}  // namespace child_process
