// Reads an ARC/INFO ASCII height grid into `input`.
//
//   Reports      - the one-line texts left in `msg`, with long paths shortened
//   File text    - the whole file read into one buffer
//   Header       - six lines read as fgets would, keywords at the line start
//   Heights      - a hand-written decimal scanner (no library call per value)
//   LoadArcASCIIFile
#include "TerrainLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Report.h"

namespace {

// ---------------------------------------------------------------- Reports

constexpr size_t kMsgSize = sizeof(TerrainLoader::msg);

void Report(char* msg, const char* prefix, const char* path, const char* suffix) {
  WriteReport(msg, kMsgSize, prefix, path, suffix);
}

void ReportOpenFailure(char* msg, const char* path) { Report(msg, "Could not open the file ", path, ""); }

void ReportInvalid(char* msg, const char* path) {
  Report(msg, "The file ", path, " is no valid ARC|Info ASCII file.");
}

// "The file P" followed by a blank and a formatted explanation.
__attribute__((format(printf, 3, 4))) void ReportFault(char* msg, const char* path, const char* format, ...) {
  char suffix[128];  // our own texts are far shorter, leaving >= 100 bytes for the path
  suffix[0] = ' ';
  va_list args;
  va_start(args, format);
  vsnprintf(suffix + 1, sizeof suffix - 1, format, args);
  va_end(args);
  Report(msg, "The file ", path, suffix);
}

// ---------------------------------------------------------------- File text

// Zero bytes after the text: one ends it for the scanners, and the 8-byte digit loads
// at its very end stay inside the buffer.
constexpr size_t kPadding = 1 + 8;

// The file's bytes, followed by kPadding zero bytes.
struct FileText {
  char* bytes = nullptr;
  size_t size = 0;        // bytes read so far
  size_t capacity = 0;    // bytes the buffer holds before its padding
  bool complete = false;  // nothing more to read
  bool growable = false;  // size unknown beforehand (pipes, /proc files)
  ~FileText() { free(bytes); }
};

enum class ReadResult { kOk, kError, kNoMemory };

// Sizes the buffer. A regular file gets one buffer of its size, whose pages stay
// untouched until read; a pipe starts small and grows as it is read.
ReadResult StartText(const struct stat& info, FileText& text) {
  text.growable = !(S_ISREG(info.st_mode) && info.st_size > 0);
  const auto size = text.growable ? 1ull << 16 : static_cast<unsigned long long>(info.st_size);
  if (size >= SIZE_MAX - kPadding) return ReadResult::kNoMemory;
  text.capacity = static_cast<size_t>(size);
  text.bytes = static_cast<char*>(malloc(text.capacity + kPadding));
  if (!text.bytes) return ReadResult::kNoMemory;
  memset(text.bytes, 0, kPadding);
  return ReadResult::kOk;
}

// Reads on until the buffer holds `upto` bytes or the file ends; a regular file is not
// read past the size it had when measured.
ReadResult ReadUpTo(FILE* file, FileText& text, size_t upto) {
  while (!text.complete && text.size < upto) {
    if (text.size == text.capacity) {
      if (!text.growable) {
        text.complete = true;
        break;
      }
      if (text.capacity > SIZE_MAX / 4) return ReadResult::kNoMemory;
      char* grown = static_cast<char*>(realloc(text.bytes, 2 * text.capacity + kPadding));
      if (!grown) return ReadResult::kNoMemory;
      text.bytes = grown;
      text.capacity *= 2;
    }
    const size_t want = std::min(upto, text.capacity) - text.size;
    const size_t got = fread(text.bytes + text.size, 1, want, file);
    text.size += got;
    if (got < want) {
      if (ferror(file)) return ReadResult::kError;
      text.complete = true;
    }
  }
  memset(text.bytes + text.size, 0, kPadding);
  return ReadResult::kOk;
}

// ---------------------------------------------------------------- Header

constexpr size_t kLineMax = 255;                 // one fgets into a 256-byte buffer
constexpr size_t kHeaderBytes = 6 * kLineMax;    // the most six such reads can take

// Takes the next header line as fgets would: up to 255 bytes, through the newline.
bool NextLine(const FileText& text, size_t& pos, char (&line)[kLineMax + 1]) {
  if (pos >= text.size) return false;
  size_t n = 0;
  while (n < kLineMax && pos < text.size) {
    const char c = text.bytes[pos++];
    line[n++] = c;
    if (c == '\n') break;
  }
  line[n] = '\0';
  return true;
}

// "ncols %i": the keyword opens the line, then optional blanks and an integer in %i form
// (sign, 0x hexadecimal, leading-0 octal); anything after it is ignored.
bool ParseIntLine(const char* line, const char* keyword, long long& value) {
  const size_t k = strlen(keyword);
  if (strncmp(line, keyword, k) != 0) return false;
  char* end;
  value = strtoll(line + k, &end, 0);  // clamps out-of-range values, which fail later checks
  return end != line + k;
}

bool ParseFloatLine(const char* line, const char* keyword, float& value) {
  const size_t k = strlen(keyword);
  if (strncmp(line, keyword, k) != 0) return false;
  char* end;
  value = strtof(line + k, &end);
  return end != line + k;
}

struct Header {
  long long cols = 0;
  long long rows = 0;
  float cellsize = 0;
};

// Reads the six header lines in their fixed order; all six are read even after a fault.
bool ReadHeader(const FileText& text, size_t& pos, Header& header) {
  char line[kLineMax + 1];
  long long nodata;
  bool valid = NextLine(text, pos, line) && ParseIntLine(line, "ncols", header.cols);
  valid = NextLine(text, pos, line) && ParseIntLine(line, "nrows", header.rows) && valid;
  valid = NextLine(text, pos, line) && valid;  // the grid's position is not kept
  valid = NextLine(text, pos, line) && valid;
  valid = NextLine(text, pos, line) && ParseFloatLine(line, "cellsize", header.cellsize) && valid;
  valid = NextLine(text, pos, line) && ParseIntLine(line, "NODATA_value", nodata) && valid;
  return valid;
}

// ---------------------------------------------------------------- Heights

inline bool IsSpace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}
inline bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') <= 9; }

enum class Token { kNumber, kEnd, kBad, kOutOfRange };

// Reads the run of decimal digits at p into `magnitude` (saturating far above the int
// range) and moves p past it. Up to eight digits are taken in one 8-byte load without a
// branch per digit; the text is padded with zero bytes so the load never leaves it.
inline bool ReadDigits(const char*& p, uint64_t& magnitude) {
  static_assert(std::endian::native == std::endian::little, "the text's first byte must load lowest");
  uint64_t word;
  memcpy(&word, p, sizeof word);
  const uint64_t values = word ^ 0x3030303030303030ull;  // '0'..'9' become 0..9
  // A byte is no digit when its high nibble is set or its low nibble exceeds 9.
  const uint64_t no_digit = (values & 0xF0F0F0F0F0F0F0F0ull) |
                            (((values & 0x0F0F0F0F0F0F0F0Full) + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull);
  if (no_digit != 0) {
    const int count = std::countr_zero(no_digit) / 8;
    if (count == 0) {
      magnitude = 0;
      return false;
    }
    // Shift the digits to the top so the missing ones read as leading zeros, then
    // combine pairs, quads and halves.
    uint64_t v = values << (8 * (8 - count));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFull;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFull;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFull;
    magnitude = v;
    p += count;
    return true;
  }
  // Eight digits or more: rare in heights, and near the end of the int range.
  constexpr uint64_t kHuge = 1ull << 40;
  uint64_t m = 0;
  while (IsDigit(*p)) {
    if (m < kHuge) m = m * 10 + static_cast<unsigned>(*p - '0');
    ++p;
  }
  magnitude = m;
  return true;
}

// Scans the next height at p: an optionally signed decimal, with an optional fraction
// and exponent, rounded to the nearest integer (halves away from zero). The text ends
// in a zero byte at `end`. On kBad and kOutOfRange, p is left on the token.
inline Token NextHeight(const char*& p, const char* end, int& value) {
  while (IsSpace(*p)) ++p;
  if (p == end) return Token::kEnd;
  const char* start = p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint64_t magnitude;
  bool digits = ReadDigits(p, magnitude);
  if (*p == '.') {
    ++p;
    if (IsDigit(*p)) {
      if (*p >= '5') ++magnitude;  // the first decimal alone decides the rounding
      digits = true;
      while (IsDigit(*p)) ++p;
    }
  }
  if (!digits) {
    p = start;
    return Token::kBad;
  }
  if (*p == 'e' || *p == 'E') {
    ++p;
    if (*p == '-' || *p == '+') ++p;
    if (!IsDigit(*p)) {
      p = start;
      return Token::kBad;
    }
    while (IsDigit(*p)) ++p;
    if (!IsSpace(*p) && p != end) {
      p = start;
      return Token::kBad;
    }
    // Rare in height grids, so the library does the exact conversion here.
    char* stop;
    const double exact = std::round(strtod(start, &stop));
    if (stop != p) {
      p = start;
      return Token::kBad;
    }
    if (!(exact >= -2147483648.0 && exact <= 2147483647.0)) {
      p = start;
      return Token::kOutOfRange;
    }
    value = static_cast<int>(exact);
    return Token::kNumber;
  }
  if (!IsSpace(*p) && p != end) {
    p = start;
    return Token::kBad;
  }
  if (magnitude > (negative ? 2147483648ull : 2147483647ull)) {
    p = start;
    return Token::kOutOfRange;
  }
  value = negative ? static_cast<int>(-static_cast<int64_t>(magnitude)) : static_cast<int>(magnitude);
  return Token::kNumber;
}

struct Scan {
  Token stop = Token::kNumber;  // kNumber when every cell was read
  long long cells = 0;          // cells read before the stop
  const char* at = nullptr;     // the offending token
  int y_min = 100000;
  int y_max = -100000;
};

// Reads rows x cols heights into `values`, or, with Store false, only checks that they
// are there (to report on a file too short for its header without allocating the grid).
template <bool Store>
Scan ScanHeights(const char* p, const char* end, int rows, int cols, int** values) {
  Scan scan;
  int y_min = 100000, y_max = -100000;
  for (int r = 0; r < rows; ++r) {
    int* row = Store ? values[r] : nullptr;
    for (int c = 0; c < cols; ++c) {
      int v;
      const Token t = NextHeight(p, end, v);
      if (t != Token::kNumber) {
        scan.stop = t;
        scan.cells = static_cast<long long>(r) * cols + c;
        scan.at = p;
        return scan;
      }
      if constexpr (Store) row[c] = v;
      if (v < y_min) y_min = v;
      if (v > y_max) y_max = v;
    }
  }
  scan.y_min = y_min;
  scan.y_max = y_max;
  scan.cells = static_cast<long long>(rows) * cols;
  return scan;
}

void ReportScanFault(char* msg, const char* path, const FileText& text, const Scan& scan, int rows,
                     int cols) {
  if (scan.stop == Token::kEnd) {
    ReportFault(msg, path, "holds only %lld of %lld heights (%d rows x %d columns).", scan.cells,
                static_cast<long long>(rows) * cols, rows, cols);
    return;
  }
  const long long line = 1 + std::count(static_cast<const char*>(text.bytes), scan.at, '\n');
  ReportFault(msg, path,
              scan.stop == Token::kBad ? "has no valid height at row %lld, column %lld (line %lld)."
                                       : "has a height out of range at row %lld, column %lld (line %lld).",
              scan.cells / cols + 1, scan.cells % cols + 1, line);
}

void FreeRows(int** values, int count) {
  for (int r = 0; r < count; ++r) delete[] values[r];
  delete[] values;
}

// One array of row pointers, then one array of ints per row; null when memory runs out.
int** AllocateGrid(int rows, int cols) {
  int** values = new (std::nothrow) int*[rows];
  if (!values) return nullptr;
  for (int r = 0; r < rows; ++r) {
    values[r] = new (std::nothrow) int[cols];
    if (!values[r]) {
      FreeRows(values, r);
      return nullptr;
    }
  }
  return values;
}

}  // namespace

// ---------------------------------------------------------------- LoadArcASCIIFile

namespace {

void ReportReadFailure(char* msg, const char* path, ReadResult read) {
  if (read == ReadResult::kNoMemory)
    ReportFault(msg, path, "is too large to be read into memory.");
  else
    Report(msg, "Could not read the file ", path, "");
}

struct FileCloser {
  FILE* file;
  ~FileCloser() { fclose(file); }
};

bool Load(const char* path, char* msg) {
  FILE* file = fopen(path, "r");
  if (!file) {
    ReportOpenFailure(msg, path);
    return false;
  }
  FileCloser closer{file};
  // fopen accepts a directory here; reading it would fail.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    ReportOpenFailure(msg, path);
    return false;
  }

  FileText text;
  ReadResult read = StartText(info, text);
  // The header first: a file that is no grid is refused without reading all of it.
  if (read == ReadResult::kOk) read = ReadUpTo(file, text, kHeaderBytes);
  if (read != ReadResult::kOk) {
    ReportReadFailure(msg, path, read);
    return false;
  }

  size_t pos = 0;
  Header header;
  if (!ReadHeader(text, pos, header)) {
    ReportInvalid(msg, path);
    return false;
  }
  // Normals need a 2 x 2 grid at least.
  if (header.rows < 2 || header.cols < 2) {
    ReportFault(msg, path, "has %lld rows and %lld columns; at least 2 of each are needed.", header.rows,
                header.cols);
    return false;
  }
  if (!(header.cellsize > 0) || !std::isfinite(header.cellsize)) {
    ReportFault(msg, path, "has a cell size that is not a positive number.");
    return false;
  }
  // Degrees to arc-seconds, 30 height units each; exact in double for a float cell size.
  const double spacing = std::trunc(static_cast<double>(header.cellsize) * 3600.0 * 30.0);
  if (spacing < 1) {
    ReportFault(msg, path, "has a cell size of %g degrees, below the least spacing of 1/30 arc-second.",
                header.cellsize);
    return false;
  }
  // Drawing forms 20 (the largest width scale) x cells x spacing in int arithmetic.
  const long long widest = std::max(header.rows, header.cols);
  if (20.0 * static_cast<double>(widest) * spacing > 2147483647.0) {
    if (header.cellsize >= 0.1)
      ReportFault(msg, path, "has a cell size of %g, too large for %lld cells: is it in metres? It must be in degrees.",
                  header.cellsize, widest);
    else
      ReportFault(msg, path, "has %lld rows and %lld columns, too many to draw at a spacing of %.0f.",
                  header.rows, header.cols, spacing);
    return false;
  }
  const int rows = static_cast<int>(header.rows);
  const int cols = static_cast<int>(header.cols);

  read = ReadUpTo(file, text, SIZE_MAX);
  if (read != ReadResult::kOk) {
    ReportReadFailure(msg, path, read);
    return false;
  }
  const char* heights = text.bytes + pos;
  const char* end = text.bytes + text.size;

  // Every height takes a digit and a separator; a header promising more than the rest of
  // the file can hold is checked without allocating its grid.
  const long long cells = static_cast<long long>(rows) * cols;
  if (static_cast<unsigned long long>(cells) > (text.size - pos + 1) / 2) {
    const Scan scan = ScanHeights<false>(heights, end, rows, cols, nullptr);
    if (scan.stop != Token::kNumber) {
      ReportScanFault(msg, path, text, scan, rows, cols);
      return false;
    }
  }

  int** values = AllocateGrid(rows, cols);
  if (!values) {
    ReportFault(msg, path, "holds %d x %d heights, too many for the memory.", rows, cols);
    return false;
  }
  const Scan scan = ScanHeights<true>(heights, end, rows, cols, values);
  if (scan.stop != Token::kNumber) {
    FreeRows(values, rows);
    ReportScanFault(msg, path, text, scan, rows, cols);
    return false;
  }

  input = data{rows, cols, static_cast<int>(spacing), scan.y_min, scan.y_max, values};
  Report(msg, "The file ", path, " was loaded succesfully.");
  return true;
}

}  // namespace

bool TerrainLoader::LoadArcASCIIFile(const char* filename) { return Load(filename, msg); }
