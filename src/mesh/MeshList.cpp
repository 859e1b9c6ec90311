// The limit line of a build and the growth of a uniform mesh.
#include "MeshList.h"

#include <climits>
#include <cstdio>
#include <new>
#include <vector>

namespace mesh {

std::string LimitLine(long long count, int level, int planned, int precision, bool strict) {
  char line[160];
  if (strict && level >= 0 && level < precision) {
    // Under a strict bound the precision limits nothing: a larger bound was taken.
    snprintf(line, sizeof(line), "Mesh limited to %lld triangles by %s: the error bound is not met.", count,
             level < planned ? "the memory" : "the triangle budget");
  } else if (level < 0) {
    snprintf(line, sizeof(line), "No memory left for a mesh at any precision: the terrain is not drawn.");
  } else if (level < planned) {
    snprintf(line, sizeof(line),
             "Mesh limited to %lld triangles at precision %d of %d: not enough memory for more.", count,
             level, precision);
  } else if (level < precision) {
    snprintf(line, sizeof(line), "Mesh limited to %lld triangles at precision %d of %d.", count, level,
             precision);
  } else {
    return {};
  }
  return line;
}

void PrintLimitLine(const std::string& line) {
  if (line.empty()) return;
  printf("\t%s\n\n", line.c_str());
  fflush(stdout);  // seen at once, also when the output goes to a file
}

long long GrowthBound(int factor, int passes) {
  long long bound = 2;
  for (int i = 0; i < passes; ++i) {
    if (bound > LLONG_MAX / 4 / factor) return LLONG_MAX;
    bound *= factor;
  }
  return bound;
}

}  // namespace mesh
