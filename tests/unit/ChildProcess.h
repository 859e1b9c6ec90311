// Runs a piece of a test in a forked child, for what must not touch the test process:
// capped memory, output that is never flushed, a crash.
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
