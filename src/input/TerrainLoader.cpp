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
#include <climits>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

#include "GridUnits.h"
#include "MemoryBudget.h"
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

inline bool IsSpace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}
inline bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') <= 9; }
inline bool IsBlankOrEnd(char c) { return c == '\0' || IsSpace(c); }

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

// What the header parse found wrong first, for the report's second line.
struct HeaderFault {
  int line = 0;  // 0 while the header is fine
  char text[200] = "";
};

__attribute__((format(printf, 3, 4))) void NoteFault(HeaderFault& fault, int line, const char* format, ...) {
  if (fault.line != 0) return;  // the first fault is the one to mend
  fault.line = line;
  const int n = snprintf(fault.text, sizeof fault.text, "line %d: ", line);
  va_list args;
  va_start(args, format);
  vsnprintf(fault.text + n, sizeof fault.text - n, format, args);
  va_end(args);
}

// The first word at p, quoted and cut short, unprintable bytes shown as '?'; or what
// stands there instead of a word.
void DescribeWord(const char* p, char (&out)[48]) {
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0' || *p == '\n' || *p == '\r') {
    snprintf(out, sizeof out, "%s", "nothing");
    return;
  }
  size_t n = 0;
  out[n++] = '\'';
  constexpr size_t kLongest = 32;
  size_t taken = 0;
  for (; *p != '\0' && !IsBlankOrEnd(*p) && taken < kLongest; ++p, ++taken)
    out[n++] = (*p >= 0x20 && *p < 0x7f) ? *p : '?';
  if (!IsBlankOrEnd(*p)) {
    out[n++] = '.';
    out[n++] = '.';
    out[n++] = '.';
  }
  out[n++] = '\'';
  out[n] = '\0';
}

// The line opens with the keyword; otherwise the fault says what stood there instead.
bool KeywordOpens(const char* line, int number, const char* keyword, HeaderFault& fault) {
  if (strncmp(line, keyword, strlen(keyword)) == 0) return true;
  char found[48];
  DescribeWord(line, found);
  if (line[0] == '\0')
    NoteFault(fault, number, "expected '%s', found the end of the file", keyword);
  else if (strstr(line, keyword) != nullptr)
    NoteFault(fault, number, "expected '%s' at the start of the line, found %s", keyword, found);
  else
    NoteFault(fault, number, "expected '%s', found %s", keyword, found);
  return false;
}

// "ncols 403": the keyword, optional blanks, then a decimal count that ends at a blank or
// the line's end. Leading zeros do not make it octal, and "0x4" is no count.
bool ParseCountLine(const char* line, int number, const char* keyword, long long& value, HeaderFault& fault) {
  if (!KeywordOpens(line, number, keyword, fault)) return false;
  const char* after = line + strlen(keyword);
  char* end;
  value = strtoll(after, &end, 10);  // out-of-range counts saturate and fail later checks
  if (end != after && IsBlankOrEnd(*end)) return true;
  char found[48];
  DescribeWord(after, found);
  NoteFault(fault, number, "expected a whole number after '%s', found %s", keyword, found);
  return false;
}

bool ParseCellSizeLine(const char* line, int number, float& value, HeaderFault& fault) {
  if (!KeywordOpens(line, number, "cellsize", fault)) return false;
  const char* after = line + strlen("cellsize");
  char* end;
  value = strtof(after, &end);
  if (end != after) return true;
  char found[48];
  DescribeWord(after, found);
  NoteFault(fault, number, "expected a number after 'cellsize', found %s", found);
  return false;
}

// The value that marks empty cells, as the file writes it.
struct NoData {
  bool present = false;
  double value = 0;       // as written; may be NaN or far outside the int range
  bool integral = false;  // a whole number in the int range: such cells keep it as height
  int rounded = 0;        // what the height scanner makes of a cell written like it
};

// What the height scanner makes of the NODATA value at `per_metre` units a metre.
void ScaleNoData(NoData& nodata, double per_metre) {
  const double scaled = nodata.value * per_metre;
  const double rounded = std::round(scaled);  // halves away from zero, as heights round
  nodata.integral = false;
  nodata.rounded = 0;
  if (rounded >= -2147483648.0 && rounded <= 2147483647.0) {
    nodata.rounded = static_cast<int>(rounded);
    nodata.integral = rounded == scaled;
  }
}

bool IsHexNumber(const char* p) {
  if (*p == '-' || *p == '+') ++p;
  return p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

// "NODATA_value -9999": any decimal number, NaN included; the bare keyword names none.
bool ParseNoDataLine(const char* line, int number, NoData& nodata, HeaderFault& fault) {
  if (!KeywordOpens(line, number, "NODATA_value", fault)) return false;
  const char* after = line + strlen("NODATA_value");
  const char* p = after;
  while (IsSpace(*p)) ++p;
  if (*p == '\0') return true;
  char* end;
  const double value = strtod(p, &end);
  if (end == p || !IsBlankOrEnd(*end) || IsHexNumber(p)) {
    char found[48];
    DescribeWord(after, found);
    NoteFault(fault, number, "expected a number after 'NODATA_value', found %s", found);
    return false;
  }
  nodata.present = true;
  nodata.value = value;
  ScaleNoData(nodata, 1.0);
  return true;
}

struct Header {
  long long cols = 0;
  long long rows = 0;
  float cellsize = 0;
  NoData nodata;
  // The lower-left corner or centre, when lines 3 and 4 give it as "keyword number".
  bool corner_known = false;
  bool corner_is_centre = false;  // xllcenter / yllcenter: the centre of the corner cell
  double corner_x = 0, corner_y = 0;
};

// Lines 3 and 4 are not checked; their number is read when it follows a keyword, and a
// keyword ending in "center" or "centre" places the corner cell's centre.
bool ParseCornerLine(const char* line, double& value, bool& centre) {
  const char* p = line;
  while (*p == '_' || (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) ++p;
  if (p == line) return false;
  const std::string keyword(line, p);
  const size_t n = keyword.size();
  centre = n >= 6 && (strcasecmp(keyword.c_str() + n - 6, "center") == 0 ||
                      strcasecmp(keyword.c_str() + n - 6, "centre") == 0);
  char* end;
  value = strtod(p, &end);
  return end != p && IsBlankOrEnd(*end) && std::isfinite(value);
}

// Reads the six header lines in their fixed order; all six are read even after a fault,
// and the first fault is described in `fault`.
bool ReadHeader(const FileText& text, size_t& pos, Header& header, HeaderFault& fault) {
  char line[kLineMax + 1];
  auto next = [&]() {
    if (!NextLine(text, pos, line)) line[0] = '\0';
    return line;
  };
  bool valid = ParseCountLine(next(), 1, "ncols", header.cols, fault);
  valid = ParseCountLine(next(), 2, "nrows", header.rows, fault) && valid;
  // The grid's position is not kept; the lines must only be there. Their numbers tell
  // whether the cell size can be in degrees.
  bool corner_known = true;
  for (int number : {3, 4}) {
    const char* text = next();
    if (text[0] == '\0') {
      NoteFault(fault, number, "expected the grid's %s corner, found the end of the file",
                number == 3 ? "x" : "y");
      valid = false;
    }
    bool centre = false;
    corner_known = ParseCornerLine(text, number == 3 ? header.corner_x : header.corner_y, centre) && corner_known;
    header.corner_is_centre = header.corner_is_centre || centre;
  }
  header.corner_known = corner_known;
  valid = ParseCellSizeLine(next(), 5, header.cellsize, fault) && valid;
  valid = ParseNoDataLine(next(), 6, header.nodata, fault) && valid;
  return valid;
}

// ---------------------------------------------------------------- Heights


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

// Heights are stored in units of 10^-decimals metres: 0 for grids of whole metres.
struct HeightScale {
  int decimals = 0;
  uint64_t factor = 1;     // 10^decimals
  double per_metre = 1.0;  // the same, for the library's conversions
};

HeightScale ScaleFor(int per_metre) {
  HeightScale scale;
  scale.decimals = DecimalsOf(per_metre);
  for (int k = 0; k < scale.decimals; ++k) scale.factor *= 10;
  scale.per_metre = static_cast<double>(scale.factor);
  return scale;
}

// Scans the next height at p: an optionally signed decimal, with an optional fraction
// and exponent, in units of `scale`, rounded to the nearest integer (halves away from
// zero). `fraction` is set when the value has a fraction of a metre. The text ends in a
// zero byte at `end`. On kBad and kOutOfRange, p is left on the token.
inline Token NextHeight(const char*& p, const char* end, int& value, const HeightScale& scale, bool& fraction) {
  while (IsSpace(*p)) ++p;
  if (p == end) return Token::kEnd;
  const char* start = p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint64_t magnitude;
  bool digits = ReadDigits(p, magnitude);
  magnitude *= scale.factor;
  if (*p == '.') {
    ++p;
    if (IsDigit(*p)) {
      // The scale's decimals are taken; the first decimal after them decides the rounding.
      uint64_t place = scale.factor;
      for (int taken = 0; taken < scale.decimals && IsDigit(*p); ++taken, ++p) {
        place /= 10;
        magnitude += place * static_cast<unsigned>(*p - '0');
        fraction = fraction || *p != '0';
      }
      if (IsDigit(*p) && *p >= '5') ++magnitude;
      digits = true;
      for (; IsDigit(*p); ++p) fraction = fraction || *p != '0';
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
    const double metres = strtod(start, &stop);
    if (stop != p) {
      p = start;
      return Token::kBad;
    }
    fraction = metres != std::round(metres);  // 1.5e1 is whole
    const double exact = std::round(metres * scale.per_metre);
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

// Whether the token at p (blanks before it allowed) is the file's NODATA value as
// written, before any rounding: -9999.4 is a height even where -9999 marks empty cells.
bool IsNoDataToken(const char* p, const NoData& nodata) {
  while (IsSpace(*p)) ++p;
  const char* q = p;
  if (*q == '-' || *q == '+') ++q;
  const char* digits = q;
  while (IsDigit(*q)) ++q;
  // A plain whole number that scanned to the rounded NODATA value equals it exactly.
  if (q != digits && IsBlankOrEnd(*q)) return nodata.integral;
  char* stop;
  const double value = strtod(p, &stop);
  if (stop == p || !IsBlankOrEnd(*stop)) return false;
  if (std::isnan(nodata.value)) return std::isnan(value);
  if (value == nodata.value) return true;
  // Float writers print the same float in more or fewer digits. Doubles below this bound
  // round to a finite float (-3.40282347e+38 to the largest one).
  constexpr double kFloatRoundingLimit = 3.4028235677973366e38;
  return std::fabs(value) < kFloatRoundingLimit && std::fabs(nodata.value) < kFloatRoundingLimit &&
         static_cast<float>(value) == static_cast<float>(nodata.value);
}

// The whole number beside a whole NODATA value on the side of the height written at p.
int NextBesideNoData(const char* p, const NoData& nodata) {
  const bool below = strtod(p, nullptr) < nodata.value;
  if (nodata.rounded == INT_MIN) return INT_MIN + 1;
  if (nodata.rounded == INT_MAX) return INT_MAX - 1;
  return below ? nodata.rounded - 1 : nodata.rounded + 1;
}

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

// What to make of a cell the fast path does not settle: a token that is no plain height,
// or one that rounds to the NODATA value.
enum class Cell { kHeight, kNoData, kStop };

// Kept out of the scanning loop, which it would otherwise slow down. On kNoData, p is
// moved past the token; on kHeight, v may be moved off the NODATA value.
__attribute__((noinline)) Cell LookCloser(Token t, const char* token, const char*& p, int& v, const NoData& nodata) {
  if (t == Token::kNumber) {
    const bool empty = IsNoDataToken(token, nodata);
    if (empty && !nodata.integral) return Cell::kNoData;
    // A real height that rounds onto the NODATA value moves one unit off it.
    if (!empty && nodata.integral) v = NextBesideNoData(token, nodata);
    return Cell::kHeight;
  }
  // NaN, or a value past the int range such as -3.4e38, marking an empty cell.
  if (t != Token::kEnd && nodata.present && !nodata.integral && IsNoDataToken(p, nodata)) {
    char* after;
    strtod(p, &after);
    p = after;
    return Cell::kNoData;
  }
  return Cell::kStop;
}

// Reads rows x cols heights into `values`, or, with Store false, only checks that they
// are there (to report on a file too short for its header without allocating the grid).
template <bool Store>
Scan ScanHeights(const char* p, const char* end, int rows, int cols, int** values, const NoData& nodata,
                 const HeightScale& scale) {
  Scan scan;
  int least = INT_MAX, greatest = INT_MIN;
  long long marks = 0;
  bool fractions = false;
  // Locals, so that the stores into the grid do not make the compiler reload them.
  const bool watch = nodata.present;
  const int watched = nodata.rounded;
  for (int r = 0; r < rows; ++r) {
    int* row = Store ? values[r] : nullptr;
    for (int c = 0; c < cols; ++c) {
      const char* token = p;
      int v;
      bool fraction = false;
      const Token t = NextHeight(p, end, v, scale, fraction);
      if (t != Token::kNumber || (v == watched && watch)) [[unlikely]] {
        const Cell cell = LookCloser(t, token, p, v, nodata);
        if (cell == Cell::kStop) {
          scan.stop = t;
          scan.cells = static_cast<long long>(r) * cols + c;
          scan.at = p;
          return scan;
        }
        if (cell == Cell::kNoData) {
          if constexpr (Store) row[c] = kNoDataMark;
          ++marks;
          continue;
        }
      }
      if constexpr (Store) row[c] = v;
      if (v < least) least = v;
      if (v > greatest) greatest = v;
      fractions = fractions || fraction;
    }
  }
  scan.fractions = fractions;
  scan.least = least;
  scan.greatest = greatest;
  scan.marks = marks;
  scan.cells = static_cast<long long>(rows) * cols;
  // Numbers after the last cell are ignored, but a header that promises too few of them
  // is worth a warning.
  scan.numbers = scan.cells;
  if constexpr (Store) {
    int ignored;
    bool fraction = false;
    while (NextHeight(p, end, ignored, scale, fraction) == Token::kNumber) ++scan.numbers;
  }
  return scan;
}

void ReportScanFault(char* msg, const char* path, const char* text, const Scan& scan, int rows, int cols) {
  if (scan.stop == Token::kEnd) {
    ReportFault(msg, path, "holds only %lld of %lld heights (%d rows x %d columns).", scan.cells,
                static_cast<long long>(rows) * cols, rows, cols);
    return;
  }
  const long long line = 1 + std::count(text, scan.at, '\n');
  ReportFault(msg, path,
              scan.stop == Token::kBad ? "has no valid height at row %lld, column %lld (line %lld)."
                                       : "has a height out of range at row %lld, column %lld (line %lld).",
              scan.cells / cols + 1, scan.cells % cols + 1, line);
}

}  // namespace

// ---------------------------------------------------------------- Grid memory

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

double CentreLatitude(const GridPlace& place, int rows) { return place.bottom + 0.5 * rows * place.cell_y; }

double ColumnRatio(const GridPlace& place, int rows) {
  if (!place.known || !place.degrees || !(place.cell_x > 0) || !(place.cell_y > 0)) return 1.0;
  const double ratio = std::cos(CentreLatitude(place, rows) * M_PI / 180.0) * place.cell_x / place.cell_y;
  return std::isfinite(ratio) ? std::max(ratio, 0.01) : 1.0;
}

data FinishGrid(int rows, int cols, int spacing, int** values, int least, int greatest, long long marks,
                bool has_nodata, bool nodata_integral, int whole_nodata) {
  int nodata = whole_nodata;
  if (has_nodata && !nodata_integral) {
    nodata = least == INT_MAX ? -9999 : least == INT_MIN ? INT_MIN : least - 1;
    if (marks > 0) {
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
          if (values[r][c] == kNoDataMark) values[r][c] = nodata;
      least = std::min(least, nodata);
      greatest = std::max(greatest, nodata);
    }
  }
  return data{rows, cols, spacing, std::min(least, 100000), std::max(greatest, -100000), values, nodata, has_nodata, GridPlace{}};
}

// ---------------------------------------------------------------- LoadArcASCIIFile

namespace {

__attribute__((format(printf, 2, 3))) void Explain(const ReportLines& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(out.reason, out.size, format, args);
  va_end(args);
}

void ReportReadFailure(const ReportLines& out, const char* path, ReadResult read, int error) {
  if (read == ReadResult::kNoMemory) {
    ReportFault(out.msg, path, "is too large to be read into memory.");
  } else {
    Report(out.msg, "Could not read the file ", path, "");
    Explain(out, "%s", strerror(error));
  }
}

struct FileCloser {
  FILE* file;
  ~FileCloser() { fclose(file); }
};

bool Load(const char* path, const ReportLines& out, bool& header_refused, CellUnits units) {
  FILE* file = fopen(path, "r");
  if (!file) {
    const int error = errno;
    ReportOpenFailure(out.msg, path);
    Explain(out, "%s", strerror(error));
    return false;
  }
  FileCloser closer{file};
  // fopen accepts a directory here; reading it would fail.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ReportOpenFailure(out.msg, path);
    Explain(out, "%s", strerror(error));
    return false;
  }

  FileText text;
  ReadResult read = StartText(info, text);
  // The header first: a file that is no grid is refused without reading all of it.
  if (read == ReadResult::kOk) read = ReadUpTo(file, text, kHeaderBytes);
  if (read != ReadResult::kOk) {
    ReportReadFailure(out, path, read, errno);
    return false;
  }

  size_t pos = 0;
  Header header;
  HeaderFault fault;
  if (!ReadHeader(text, pos, header, fault)) {
    header_refused = true;
    ReportInvalid(out.msg, path);
    Explain(out, "%s", fault.text);
    return false;
  }
  // Normals need a 2 x 2 grid at least.
  if (header.rows < 2 || header.cols < 2) {
    ReportFault(out.msg, path, "has %lld rows and %lld columns; at least 2 of each are needed.", header.rows,
                header.cols);
    return false;
  }
  if (!(header.cellsize > 0) || !std::isfinite(header.cellsize)) {
    ReportFault(out.msg, path, "has a cell size that is not a positive number.");
    return false;
  }
  // A corner that cannot be a longitude and latitude puts the grid in a projected
  // system: its cell size is in metres. --degrees and --metres decide instead; a grid in
  // degrees that reaches past a pole is refused.
  const double cellsize = header.cellsize;
  const double top = header.corner_y + static_cast<double>(header.rows) * cellsize;
  const bool beyond_poles = header.corner_known && (std::fabs(header.corner_y) > 90 || top > 90);
  const bool metres = units == CellUnits::kMetres ||
                      (units == CellUnits::kGuess && header.corner_known &&
                       (std::fabs(header.corner_x) > 360 || beyond_poles));
  if (!metres && beyond_poles) {
    ReportFault(out.msg, path, "reaches past a pole (latitudes %g to %g): a grid in degrees lies within -90 and 90.",
                header.corner_y, top);
    return false;
  }
  // Degrees to arc-seconds, 30 metres each; exact in double for a float cell size.
  const double spacing_metres = metres ? cellsize : cellsize * 3600.0 * 30.0;
  if (metres && units == CellUnits::kMetres) {
    char suffix[96];
    snprintf(suffix, sizeof suffix, ", %g, is taken as metres, as --metres says.", cellsize);
    WriteReport(out.note, out.size, "The cell size of ", path, suffix);
  } else if (metres) {
    char suffix[160];
    snprintf(suffix, sizeof suffix, ", %g, is taken as metres: its corner (%.10g, %.10g) cannot be a longitude and latitude.",
             cellsize, header.corner_x, header.corner_y);
    WriteReport(out.note, out.size, "The cell size of ", path, suffix);
  }
  // Drawing forms 20 (the largest width scale) x cells x spacing in int arithmetic; whole
  // metres are the coarsest units, so a grid too wide for them is too wide for any.
  const long long widest = std::max(header.rows, header.cols);
  const double coarsest = std::max(1.0, std::round(spacing_metres));
  if (20.0 * static_cast<double>(widest) * coarsest > 2147483647.0) {
    if (header.cellsize >= 0.1)
      ReportFault(out.msg, path,
                  "has a cell size of %g, too large for %lld cells in degrees; a grid in metres needs its "
                  "corner in metres too.",
                  header.cellsize, widest);
    else
      ReportFault(out.msg, path, "has %lld rows and %lld columns, too many to draw at a spacing of %g.",
                  header.rows, header.cols, spacing_metres);
    return false;
  }
  const int rows = static_cast<int>(header.rows);
  const int cols = static_cast<int>(header.cols);

  read = ReadUpTo(file, text, SIZE_MAX);
  if (read != ReadResult::kOk) {
    ReportReadFailure(out, path, read, errno);
    return false;
  }
  const char* heights = text.bytes + pos;
  const char* end = text.bytes + text.size;

  // Every height takes a digit and a separator; a header promising more than the rest of
  // the file can hold is checked without allocating its grid.
  const long long cells = static_cast<long long>(rows) * cols;
  if (static_cast<unsigned long long>(cells) > (text.size - pos + 1) / 2) {
    const Scan scan = ScanHeights<false>(heights, end, rows, cols, nullptr, header.nodata, HeightScale{});
    if (scan.stop != Token::kNumber) {
      ReportScanFault(out.msg, path, text.bytes, scan, rows, cols);
      return false;
    }
  }

  if (!memory::GridFits(rows, cols, path, out.msg, out.size)) return false;
  int** values = AllocateGrid(rows, cols);
  if (!values) {
    ReportFault(out.msg, path, "holds %d x %d heights, too many for the memory.", rows, cols);
    return false;
  }
  Scan scan = ScanHeights<true>(heights, end, rows, cols, values, header.nodata, HeightScale{});
  if (scan.stop != Token::kNumber) {
    FreeGrid(values, rows);
    ReportScanFault(out.msg, path, text.bytes, scan, rows, cols);
    return false;
  }
  // Whole metres read, the units are chosen; fractions of a metre are read once more in
  // the finer units.
  const bool any_height = scan.least <= scan.greatest;
  const GridUnits grid_units = ChooseGridUnits(spacing_metres, !scan.fractions, any_height ? scan.least : 0,
                                          any_height ? scan.greatest : 0, widest);
  if (grid_units.per_metre == 0) {
    FreeGrid(values, rows);
    ReportFault(out.msg, path, "has a cell size of %g%s, too fine to draw.", header.cellsize, metres ? "" : " degrees");
    return false;
  }
  NoData nodata = header.nodata;
  NoteUnits(out, grid_units.per_metre, !scan.fractions);
  if (grid_units.per_metre != 1) {
    const HeightScale scale = ScaleFor(grid_units.per_metre);
    ScaleNoData(nodata, scale.per_metre);
    scan = ScanHeights<true>(heights, end, rows, cols, values, nodata, scale);
  }

  if (scan.numbers > cells) {
    Explain(out, "Warning: the data holds %lld numbers, more than the %lld heights of its header (%d rows x %d "
            "columns); the rest is ignored.", scan.numbers, cells, rows, cols);
  }
  input = FinishGrid(rows, cols, grid_units.spacing, values, scan.least, scan.greatest, scan.marks, nodata.present,
                     nodata.integral, nodata.rounded);
  input.units_per_metre = grid_units.per_metre;
  if (header.corner_known) {
    const double half = header.corner_is_centre ? 0.5 * cellsize : 0.0;
    input.place = GridPlace{true, !metres, header.corner_x - half, header.corner_y - half, cellsize, cellsize};
  }
  Report(out.msg, "The file ", path, " was loaded succesfully.");
  return true;
}

}  // namespace

bool TerrainLoader::LoadArcASCIIFile(const char* filename) {
  reason[0] = '\0';
  note[0] = '\0';
  header_refused_ = false;
  return Load(filename, ReportLines{msg, reason, note, sizeof msg}, header_refused_, units);
}

bool CheckAsciiHeights(const char* path, std::string& text, size_t heights_at, long long rows, long long cols,
                       const char* nodata, char* msg) {
  if (rows <= 0 || cols <= 0 || rows > INT_MAX || cols > INT_MAX) return true;  // a header the other reader refuses
  NoData no_data;
  if (nodata != nullptr) {
    char* stop;
    no_data.value = strtod(nodata, &stop);
    no_data.present = stop != nodata;
    ScaleNoData(no_data, 1.0);
  }
  const size_t size = text.size();
  text.append(kPadding, '\0');  // the scanner's 8-byte loads stay inside
  const Scan scan = ScanHeights<false>(text.data() + std::min(heights_at, size), text.data() + size, static_cast<int>(rows),
                                       static_cast<int>(cols), nullptr, no_data, HeightScale{});
  text.resize(size);
  if (scan.stop == Token::kNumber || scan.stop == Token::kEnd) return true;  // a short text is the other reader's
  ReportScanFault(msg, path, text.data(), scan, static_cast<int>(rows), static_cast<int>(cols));
  return false;
}

bool GridHoldsHeights() {
  for (int r = 0; r < input.rows; ++r)
    for (int c = 0; c < input.cols; ++c)
      if (!IsNoData(input.values[r][c])) return true;
  return false;
}
