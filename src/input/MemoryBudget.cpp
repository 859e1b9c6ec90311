#include "MemoryBudget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Report.h"

namespace memory {

namespace {

std::atomic<int64_t> injected{-1};

constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

// The "MemAvailable:" line of /proc/meminfo, in bytes; the free pages where it is missing.
int64_t MachineAvailable() {
  if (FILE* f = fopen("/proc/meminfo", "r")) {
    char line[256];
    long long kb = -1;
    while (fgets(line, sizeof line, f) != nullptr)
      if (sscanf(line, "MemAvailable: %lld kB", &kb) == 1) break;
    fclose(f);
    if (kb >= 0) return kb * 1024;
  }
  return static_cast<int64_t>(sysconf(_SC_AVPHYS_PAGES)) * sysconf(_SC_PAGESIZE);
}

// What the control group this process runs in may still take, when it has a limit.
int64_t GroupAvailable() {
  long long max = 0, current = 0;
  FILE* f = fopen("/sys/fs/cgroup/memory.max", "r");
  if (f == nullptr) return kUnlimited;
  const bool limited = fscanf(f, "%lld", &max) == 1;  // "max" reads as no number
  fclose(f);
  if (!limited) return kUnlimited;
  f = fopen("/sys/fs/cgroup/memory.current", "r");
  if (f == nullptr) return kUnlimited;
  const bool read = fscanf(f, "%lld", &current) == 1;
  fclose(f);
  return read ? std::max<int64_t>(0, max - current) : kUnlimited;
}

// What a soft limit of the process leaves above the pages it counts: the whole address
// space for RLIMIT_AS, the data and stack pages for RLIMIT_DATA.
int64_t ProcessAvailable() {
  long long pages[6] = {};
  if (FILE* f = fopen("/proc/self/statm", "r")) {
    // size resident shared text lib data
    if (fscanf(f, "%lld %lld %lld %lld %lld %lld", &pages[0], &pages[1], &pages[2], &pages[3], &pages[4],
               &pages[5]) != 6)
      memset(pages, 0, sizeof pages);
    fclose(f);
  }
  const int64_t page = sysconf(_SC_PAGESIZE);
  int64_t left = kUnlimited;
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    left = std::min<int64_t>(left, static_cast<int64_t>(limit.rlim_cur) - pages[0] * page);
  if (getrlimit(RLIMIT_DATA, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    left = std::min<int64_t>(left, static_cast<int64_t>(limit.rlim_cur) - pages[5] * page);
  return std::max<int64_t>(0, left);
}

}  // namespace

void SetAvailableForTesting(int64_t bytes) { injected = bytes; }

Room Available() {
  const int64_t forced = injected;
  if (forced >= 0) return Room{forced, false};
  const int64_t machine = std::min(MachineAvailable(), GroupAvailable());
  const int64_t process = ProcessAvailable();
  return process < machine ? Room{process, true} : Room{machine, false};
}

void FormatBytes(double bytes, char* out, size_t size) {
  if (bytes >= 1e9)
    snprintf(out, size, "%.1f GB", bytes / 1e9);
  else if (bytes >= 1e6)
    snprintf(out, size, "%.1f MB", bytes / 1e6);
  else if (bytes >= 1e3)
    snprintf(out, size, "%.1f kB", bytes / 1e3);
  else
    snprintf(out, size, "%.0f bytes", bytes);
}

bool Fits(double bytes, long long across, long long down, const char* things, const char* path, char* msg,
          size_t size) {
  const Room room = Available();
  if (bytes <= static_cast<double>(room.bytes)) return true;
  char need[32], have[32], suffix[200];
  FormatBytes(bytes, need, sizeof need);
  FormatBytes(static_cast<double>(room.bytes), have, sizeof have);
  snprintf(suffix, sizeof suffix, " would need %s for its %lld x %lld %s; %s %s%s.", need, across, down, things,
           room.process_limit ? "the process's memory limit leaves" : "this machine has", have,
           room.process_limit ? "" : " free");
  WriteReport(msg, size, "The file ", path, suffix);
  return false;
}

}  // namespace memory
