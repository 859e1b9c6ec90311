// The six header lines of an ARC/INFO ASCII grid, read in their fixed order, and the
// character classes its scanners share.
#pragma once

#include <cstddef>

#include "FileText.h"

namespace ascii {

inline bool IsSpace(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t'; }
inline bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') <= 9; }
inline bool IsBlankOrEnd(char c) { return c == '\0' || IsSpace(c); }

constexpr size_t kLineMax = 255;               // one fgets into a 256-byte buffer
constexpr size_t kHeaderBytes = 6 * kLineMax;  // the most six such reads can take

// What the header parse found wrong first, for the report's second line.
struct HeaderFault {
  int line = 0;  // 0 while the header is fine
  char text[200] = "";
};

// The value that marks empty cells, as the file writes it.
struct NoData {
  bool present = false;
  double value = 0;       // as written; may be NaN or far outside the int range
  bool integral = false;  // a whole number in the int range: such cells keep it as height
  int rounded = 0;        // what the height scanner makes of a cell written like it
};

// What the height scanner makes of the NODATA value at `per_metre` units a metre.
void ScaleNoData(NoData& nodata, double per_metre);

struct Header {
  long long cols = 0;
  long long rows = 0;
  float cellsize = 0;
  // The cell size to every digit written: where the grid lies on the earth, which a float
  // would move by up to a cell's hundred-thousandth per cell.
  double cellsize_written = 0;
  NoData nodata;
  // The lower-left corner or centre, when lines 3 and 4 give it as "keyword number".
  bool corner_known = false;
  bool corner_is_centre = false;  // xllcenter / yllcenter: the centre of the corner cell
  double corner_x = 0, corner_y = 0;
};

// Reads the six header lines from `pos` on, moving it past them; all six are read even
// after a fault, and the first fault is described in `fault`.
bool ReadHeader(const FileText& text, size_t& pos, Header& header, HeaderFault& fault);

}  // namespace ascii
