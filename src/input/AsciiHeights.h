// The heights of an ARC/INFO ASCII grid: a hand-written decimal scanner (no library call
// per value) that rounds each height to the grid's units and tells NODATA cells apart.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "AsciiHeader.h"

namespace ascii {

// Heights are stored in units of 10^-decimals metres: 0 for grids of whole metres.
struct HeightScale {
  int decimals = 0;
  uint64_t factor = 1;     // 10^decimals
  double per_metre = 1.0;  // the same, for the library's conversions
};

HeightScale ScaleFor(int per_metre);

enum class Token { kNumber, kEnd, kBad, kOutOfRange };

struct Scan {
  Token stop = Token::kNumber;  // kNumber when every cell was read
  long long cells = 0;          // cells read before the stop
  const char* at = nullptr;     // the offending token
  int least = INT_MAX;          // least and greatest height, NODATA marks left out
  int greatest = INT_MIN;
  long long marks = 0;          // cells holding a NODATA value with no int form
  long long numbers = 0;        // numbers in the data, counted past the last cell
  bool fractions = false;       // a height has a fraction of a metre
};

// Reads rows x cols heights from p (the text ends in kPadding zero bytes at `end`) into
// `values`, or, with `values` null, only checks that they are there (to report on a file
// too short for its header without allocating the grid).
Scan ScanHeights(const char* p, const char* end, int rows, int cols, int** values, const NoData& nodata,
                 const HeightScale& scale);

// "The file P holds only ...", "... has no valid height at row R, column C (line L).": the
// report on a scan that stopped early, in `msg` (`size` bytes); `text` is the file's start.
void ReportScanFault(char* msg, size_t size, const char* path, const char* text, const Scan& scan, int rows,
                     int cols);

}  // namespace ascii

// The heights of an ASCII grid whose header another reader takes (GDAL's forms), checked
// as this reader checks them: `text` is the whole file, its heights start at `heights_at`,
// `nodata` points at the NODATA value as written (null: none). False, with the report in
// `msg` (as big as the loader's), at the first word that is no height nor the NODATA
// value, or a height out of range; a text too short is left to the other reader.
bool CheckAsciiHeights(const char* path, std::string& text, size_t heights_at, long long rows, long long cols,
                       const char* nodata, char* msg);
