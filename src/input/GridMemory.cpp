#include "GridMemory.h"

#include <cstdio>
#include <new>

#include "MemoryBudget.h"
#include "Report.h"

void FreeGrid(int** values, int count) {
  for (int r = 0; r < count; ++r) delete[] values[r];
  delete[] values;
}

int** AllocateGrid(int rows, int cols) {
  int** values = new (std::nothrow) int*[rows];
  if (!values) return nullptr;
  for (int r = 0; r < rows; ++r) {
    values[r] = new (std::nothrow) int[cols];
    if (!values[r]) {
      FreeGrid(values, r);
      return nullptr;
    }
  }
  return values;
}

int** AllocateGridFor(const char* path, int rows, int cols, char* msg, size_t size) {
  if (!memory::GridFits(rows, cols, path, msg, size)) return nullptr;
  int** values = AllocateGrid(rows, cols);
  if (values == nullptr) {
    char suffix[96];
    snprintf(suffix, sizeof suffix, " holds %d x %d heights, too many for the memory.", rows, cols);
    WriteReport(msg, size, "The file ", path, suffix);
  }
  return values;
}
