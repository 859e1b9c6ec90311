// libFuzzer target for the grid reader: every input is written to a file and loaded.
// A load must never crash or read out of bounds; a failed one leaves `input` as it was
// and a successful one a grid the rest of the viewer can use.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "TerrainLoader.h"

data input;  // the reader's global; the viewer's other globals are not needed here

namespace {

const data kSentinel{-7, -8, -9, -10, -11, nullptr, 0, false, GridPlace{}, 1};

const std::string& InputPath() {
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/brackenholmer_fuzz_" + std::to_string(getpid()) + ".asc";
  return path;
}

// Field by field: the grid's place holds a string, whose bytes differ between copies.
bool InputIsTheSentinel() {
  const GridPlace& p = input.place;
  const GridPlace& q = kSentinel.place;
  return input.rows == kSentinel.rows && input.cols == kSentinel.cols && input.grid_space == kSentinel.grid_space &&
         input.y_min == kSentinel.y_min && input.y_max == kSentinel.y_max && input.values == kSentinel.values &&
         input.nodata == kSentinel.nodata && input.has_nodata == kSentinel.has_nodata &&
         input.units_per_metre == kSentinel.units_per_metre && p.known == q.known && p.degrees == q.degrees &&
         p.left == q.left && p.bottom == q.bottom && p.cell_x == q.cell_x && p.cell_y == q.cell_y &&
         p.coordinate_system == q.coordinate_system;
}

void Require(bool condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "broken: %s\n", what);
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string& path = InputPath();
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  fwrite(bytes, 1, size, file);
  fclose(file);

  input = kSentinel;
  TerrainLoader loader;
  memset(loader.msg, 'x', sizeof loader.msg);
  memset(loader.reason, 'x', sizeof loader.reason);
  const bool loaded = loader.LoadArcASCIIFile(path.c_str());
  unlink(path.c_str());  // the fuzzer may end at any input without cleaning up
  Require(memchr(loader.msg, '\0', sizeof loader.msg) != nullptr, "report not terminated within its buffer");
  Require(strchr(loader.msg, '\n') == nullptr, "report of more than one line");
  Require(memchr(loader.reason, '\0', sizeof loader.reason) != nullptr, "reason not terminated within its buffer");
  Require(strchr(loader.reason, '\n') == nullptr, "reason of more than one line");

  if (!loaded) {
    Require(InputIsTheSentinel(), "failed load changed input");
    return 0;
  }
  Require(strstr(loader.msg, " was loaded succesfully.") != nullptr, "success without its report");
  Require(input.rows >= 2 && input.cols >= 2, "grid smaller than 2 x 2");
  Require(input.grid_space >= 1, "spacing below 1");
  Require(20.0 * (input.rows > input.cols ? input.rows : input.cols) * input.grid_space <= INT_MAX,
          "drawn coordinates leave the int range");
  int y_min = 100000, y_max = -100000;
  for (int r = 0; r < input.rows; ++r)
    for (int c = 0; c < input.cols; ++c) {
      if (input.values[r][c] < y_min) y_min = input.values[r][c];
      if (input.values[r][c] > y_max) y_max = input.values[r][c];
    }
  Require(y_min == input.y_min && y_max == input.y_max, "y_min or y_max wrong");
  for (int r = 0; r < input.rows; ++r) delete[] input.values[r];
  delete[] input.values;
  input = kSentinel;
  return 0;
}
