#include "MeshList.h"

#include <climits>
#include <cstdio>

namespace mesh {

void ReleaseTriangleList(TriangleList*& head) {
  while (head != nullptr) {
    TriangleList* doomed = head;
    head = head->next;
    delete doomed;
  }
}

void ReportMeshLimit(long long triangles, int level, int precision) {
  char line[128];
  snprintf(line, sizeof(line), "Mesh limited to %lld triangles at precision %d of %d.",
           triangles, level, precision);
  printf("\t%s\n\n", line);
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
