// The height scanner of the ARC/INFO ASCII reader.
//
//   Digits      - eight digits at a time in one 64-bit word
//   Heights     - one height, rounded to the grid's units
//   NODATA      - cells written as the file's NODATA value
//   ScanHeights - every cell of the grid, and the report when one is missing or wrong
//   CheckAsciiHeights
#include "AsciiHeights.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "GridFinish.h"
#include "GridUnits.h"
#include "Report.h"
#include "TerrainLoader.h"

namespace ascii {

namespace {

// ---------------------------------------------------------------- Digits

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

}  // namespace

HeightScale ScaleFor(int per_metre) {
  HeightScale scale;
  scale.decimals = DecimalsOf(per_metre);
  for (int k = 0; k < scale.decimals; ++k) scale.factor *= 10;
  scale.per_metre = static_cast<double>(scale.factor);
  return scale;
}

namespace {

// ---------------------------------------------------------------- Heights

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


// ---------------------------------------------------------------- NODATA

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

// ---------------------------------------------------------------- ScanHeights

template <bool Store>
Scan ScanCells(const char* p, const char* end, int rows, int cols, int** values, const NoData& nodata,
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

}  // namespace

Scan ScanHeights(const char* p, const char* end, int rows, int cols, int** values, const NoData& nodata,
                 const HeightScale& scale) {
  return values != nullptr ? ScanCells<true>(p, end, rows, cols, values, nodata, scale)
                           : ScanCells<false>(p, end, rows, cols, nullptr, nodata, scale);
}

void ReportScanFault(char* msg, size_t size, const char* path, const char* text, const Scan& scan, int rows,
                     int cols) {
  if (scan.stop == Token::kEnd) {
    ReportFileFault(msg, size, path, "holds only %lld of %lld heights (%d rows x %d columns).", scan.cells,
                    static_cast<long long>(rows) * cols, rows, cols);
    return;
  }
  const long long line = 1 + std::count(text, scan.at, '\n');
  ReportFileFault(msg, size, path,
                  scan.stop == Token::kBad ? "has no valid height at row %lld, column %lld (line %lld)."
                                           : "has a height out of range at row %lld, column %lld (line %lld).",
                  scan.cells / cols + 1, scan.cells % cols + 1, line);
}

}  // namespace ascii

// ---------------------------------------------------------------- CheckAsciiHeights

bool CheckAsciiHeights(const char* path, std::string& text, size_t heights_at, long long rows, long long cols,
                       const char* nodata, char* msg) {
  if (rows <= 0 || cols <= 0 || rows > INT_MAX || cols > INT_MAX) return true;  // a header the other reader refuses
  ascii::NoData no_data;
  if (nodata != nullptr) {
    char* stop;
    no_data.value = strtod(nodata, &stop);
    no_data.present = stop != nodata;
    ascii::ScaleNoData(no_data, 1.0);
  }
  const size_t size = text.size();
  text.append(kPadding, '\0');  // the scanner's 8-byte loads stay inside
  const ascii::Scan scan = ascii::ScanHeights(text.data() + std::min(heights_at, size), text.data() + size,
                                             static_cast<int>(rows), static_cast<int>(cols), nullptr, no_data,
                                             ascii::HeightScale{});
  text.resize(size);
  if (scan.stop == ascii::Token::kNumber || scan.stop == ascii::Token::kEnd) return true;  // a short text is the other reader's
  ascii::ReportScanFault(msg, sizeof(TerrainLoader::msg), path, text.data(), scan, static_cast<int>(rows), static_cast<int>(cols));
  return false;
}
