// How much memory this process can still be given, and the sizes that files claim checked
// against it before anything is allocated for them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace memory {

// What can still be allocated: the machine's available physical memory (and its control
// group's, when that is smaller), or less where the process's address-space or data limit
// (RLIMIT_AS, RLIMIT_DATA) stops it first.
struct Room {
  int64_t bytes = 0;
  bool process_limit = false;  // the figure is the process's limit, not the machine's memory
};
Room Available();

// Tests: Available() answers `bytes`, as the machine's free memory, from now on, whatever
// the limits; a negative value brings the measurement back.
void SetAvailableForTesting(int64_t bytes);

// What the viewer holds for each grid point: the height (4 bytes), its normal (12), the
// strict quad mesher's error table with its build's scratch (6: a quarter of the points
// at 8 bytes on the finest level, a third more above, and two levels of scratch), the
// strict triangle mesher's error values and marks (5), and a mesh build's vertex slot
// and true-error mark (8).
constexpr int64_t kBytesPerGridPoint = 4 + 12 + 6 + 5 + 8;

// What a texture holds for each pixel while it is made: the decoded image (up to 4 bytes),
// its 24-bit copy, that copy repacked, and OpenGL's copy (4).
constexpr int64_t kBytesPerTexel = 4 + 3 + 3 + 4;

// "40.0 GB", "512.0 MB", "12.0 kB", "700 bytes": decimal units.
void FormatBytes(double bytes, char* out, size_t size);

// Checks `bytes` for the `across` x `down` `things` of the file `path` against the room
// left. When they do not fit, writes "The file PATH would need 40.0 GB for its 100000 x
// 100000 heights; this machine has 22.1 GB free." into `msg` (`size` bytes) and returns
// false.
bool Fits(double bytes, long long across, long long down, const char* things, const char* path, char* msg,
          size_t size);

// The check for a grid of `rows` x `cols` heights, before it is allocated.
inline bool GridFits(long long rows, long long cols, const char* path, char* msg, size_t size) {
  return Fits(static_cast<double>(rows) * static_cast<double>(cols) * kBytesPerGridPoint, rows, cols, "heights", path,
              msg, size);
}

}  // namespace memory
