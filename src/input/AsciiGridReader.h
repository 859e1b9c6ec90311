// The viewer's own reader of ARC/INFO ASCII grids with the standard six-line header.
#pragma once

#include "Report.h"
#include "TerrainLoader.h"

// Reads the grid at `path` into `input`, or leaves `input` untouched on failure. Either way
// `out` holds the report (see TerrainLoader::LoadArcASCIIFile); `header_refused` is set when
// the header is at fault, so that another reader may try the file.
bool ReadAsciiGrid(const char* path, const ReportLines& out, bool& header_refused, CellUnits units);
