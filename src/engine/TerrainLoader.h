// The height grid and its ARC/INFO ASCII reader.
#pragma once

// The loaded height grid: values[row][column], row 0 being the first data row of the file.
struct data {
  int rows;
  int cols;
  int grid_space;  // distance between neighbouring grid points, in height units
  int y_min;
  int y_max;
  int** values;
};

// The one grid of the process; all zero until a load succeeds, never freed.
extern data input;

class TerrainLoader {
 public:
  TerrainLoader() {}
  // Reads an ARC/INFO ASCII grid into `input`. On failure `input` is left untouched.
  // Either way `msg` holds a one-line report.
  bool LoadArcASCIIFile(const char* filename);

  char msg[255];
};
