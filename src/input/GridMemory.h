// The grid's memory: one array of row pointers, then one array of ints per row.
#pragma once

#include <cstddef>

// The grid, or null when memory runs out.
int** AllocateGrid(int rows, int cols);
void FreeGrid(int** values, int rows);

// The grid for the file `path`, after checking that it fits into the memory left; null,
// with the report in `msg` (`size` bytes), when it does not or cannot be had.
int** AllocateGridFor(const char* path, int rows, int cols, char* msg, size_t size);
