#include "RasterHeights.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "GridChecks.h"
#include "GridFinish.h"

namespace raster {

namespace {

// Each read takes about this many bytes of the grid, so that its rows are converted while
// they are still in the cache; GDAL's block cache holds the blocks between reads.
constexpr int kChunkBytes = 1 << 18;

// The type a band is read as: the grid's own 32-bit ints or floats, in place in its rows,
// where that is exact (every band type up to 32 bits, but unsigned 32-bit ints, which can
// pass INT_MAX); doubles through a buffer otherwise, as before.
GDALDataType ReadType(GDALDataType band_type, double per_metre) {
  switch (band_type) {
    case GDT_Byte:
#if GDAL_VERSION_NUM >= GDAL_COMPUTE_VERSION(3, 7, 0)
    case GDT_Int8:
#endif
    case GDT_UInt16:
    case GDT_Int16:
    case GDT_Int32:
      return per_metre == std::floor(per_metre) ? GDT_Int32 : GDT_Float64;
    case GDT_Float32:
      return GDT_Float32;
    default:
      return GDT_Float64;
  }
}

// std::round(x) (halves away from zero) into `rounded` when it lies in the int range,
// without the library call: x less its truncation is exact below 2^62.
inline bool RoundIntoInt(double x, int& rounded) {
  if (!(std::fabs(x) < 4e18)) return false;
  long long whole = static_cast<long long>(x);
  const double rest = x - static_cast<double>(whole);
  whole += (rest >= 0.5) - (rest <= -0.5);
  if (whole < INT_MIN || whole > INT_MAX) return false;
  rounded = static_cast<int>(whole);
  return true;
}

// Whether x has no fraction: every double from 2^52 up is whole.
inline bool IsWhole(double x) {
  return !(std::fabs(x) < 4503599627370496.0) || static_cast<double>(static_cast<long long>(x)) == x;
}

// What a cell becomes, at `per_metre` units a metre.
struct Rule {
  double per_metre;
  long long per_metre_int;   // the same, for cells read as ints
  bool has_nodata;
  double nodata;
  bool nodata_int;           // an int cell can equal the NODATA value
  int int_nodata;
  bool nodata_integral;      // NODATA cells take `whole_nodata`, not the mark
  int whole_nodata;
};

// Turns one row of `T`s at `from` (which may be `to` itself: each cell is read before it is
// written) into heights at `to`, or only measures them (not `kWrite`). False at the first
// height out of the int range, which `out.bad_cell` then names as stored.
template <class T, bool kWrite = true>
bool ConvertRow(const unsigned char* from, int* to, int cols, long long stored_row, bool east_to_west,
                const Rule& rule, Converted& out) {
  for (int c = 0; c < cols; ++c) {
    T raw;
    memcpy(&raw, from + static_cast<size_t>(c) * sizeof(T), sizeof raw);
    bool nodata_cell;
    if constexpr (std::is_integral_v<T>) {
      nodata_cell = rule.nodata_int && raw == rule.int_nodata;
    } else {
      nodata_cell = std::isnan(raw) || (rule.has_nodata && raw == rule.nodata);
    }
    int h;
    if (nodata_cell) {
      if (!rule.nodata_integral) {
        if constexpr (kWrite) to[c] = kNoDataMark;
        ++out.marks;
        continue;
      }
      h = rule.whole_nodata;
    } else {
      bool fits;
      if constexpr (std::is_integral_v<T>) {
        // Exact, as the product of a 32-bit int and a power of 10 up to a million is in
        // double too.
        const long long scaled = static_cast<long long>(raw) * rule.per_metre_int;
        fits = scaled >= INT_MIN && scaled <= INT_MAX;
        h = static_cast<int>(scaled);
      } else {
        const double v = raw;
        out.fractions = out.fractions || !IsWhole(v);
        fits = RoundIntoInt(v * rule.per_metre, h);  // halves away from zero, as the ASCII reader
      }
      if (!fits) {
        out.in_range = false;
        out.bad_cell = stored_row * cols + (east_to_west ? cols - 1 - c : c);
        return false;
      }
    }
    if constexpr (kWrite) to[c] = h;
    out.least = std::min(out.least, h);
    out.greatest = std::max(out.greatest, h);
  }
  return true;
}

// An int row read in place, in two passes that the compiler turns into vector code: the
// extremes first, then the scaling, once no height can leave the int range; a row where
// one does is left to the cell by cell conversion, which finds it.
bool ConvertIntRow(int* row, int cols, long long stored_row, bool east_to_west, const Rule& rule, Converted& out) {
  const int nodata = rule.nodata_int ? rule.int_nodata : 0;
  const bool match = rule.nodata_int;
  int least = INT_MAX, greatest = INT_MIN, nodata_cells = 0;
  if (match) {
    for (int c = 0; c < cols; ++c) {  // selects by masks, which the vectoriser takes
      const int v = row[c];
      const int is_nodata = -static_cast<int>(v == nodata);  // all ones on NODATA
      nodata_cells -= is_nodata;
      least = std::min(least, (v & ~is_nodata) | (INT_MAX & is_nodata));
      greatest = std::max(greatest, (v & ~is_nodata) | (INT_MIN & is_nodata));
    }
  } else {
    for (int c = 0; c < cols; ++c) {
      least = std::min(least, row[c]);
      greatest = std::max(greatest, row[c]);
    }
  }
  const long long scale = rule.per_metre_int;
  const bool any_height = least <= greatest;
  if (any_height && (least * scale < INT_MIN || greatest * scale > INT_MAX))
    return ConvertRow<int32_t>(reinterpret_cast<const unsigned char*>(row), row, cols, stored_row, east_to_west, rule,
                               out);
  const int stand_in = rule.nodata_integral ? rule.whole_nodata : kNoDataMark;
  if (scale != 1 || (nodata_cells > 0 && stand_in != nodata)) {
    const int factor = static_cast<int>(scale);
    for (int c = 0; c < cols; ++c) row[c] = match && row[c] == nodata ? stand_in : row[c] * factor;
  }
  if (any_height) {
    out.least = std::min(out.least, static_cast<int>(least * scale));
    out.greatest = std::max(out.greatest, static_cast<int>(greatest * scale));
  }
  if (nodata_cells > 0 && rule.nodata_integral) {
    out.least = std::min(out.least, stand_in);
    out.greatest = std::max(out.greatest, stand_in);
  } else if (nodata_cells > 0) {
    out.marks += nodata_cells;
  }
  return true;
}

// Measures a row of floats kept in the grid as ConvertRow<float, false> does, in 32-bit
// lanes that the vectoriser takes: NODATA cells are counted and the extremes are found
// on the floats' bits in an order that sorts them, then rounded, as rounding keeps the
// order. False, with nothing counted, when an extreme leaves the int range: the cell by
// cell measure then finds the first such height.
bool MeasureFloatRow(const int* row, int cols, const Rule& rule, Converted& out) {
  const float nodata = static_cast<float>(rule.nodata);
  const float match = rule.has_nodata && static_cast<double>(nodata) == rule.nodata ? nodata : NAN;
  int least_key = INT_MAX, greatest_key = INT_MIN, nodata_cells = 0, fractions = 0;
  for (int c = 0; c < cols; ++c) {
    const int bits = row[c];
    const float v = std::bit_cast<float>(bits);
    const int is_nodata = -static_cast<int>((v != v) | (v == match));  // all ones on NODATA
    const int key = bits ^ ((bits >> 31) & INT_MAX);
    least_key = std::min(least_key, (key & ~is_nodata) | (INT_MAX & is_nodata));
    greatest_key = std::max(greatest_key, (key & ~is_nodata) | (INT_MIN & is_nodata));
    nodata_cells -= is_nodata;
    const float small = std::fabs(v) < 8388608.0f ? v : 0.0f;  // from 2^23 up every float is whole
    fractions |= static_cast<int>(static_cast<float>(static_cast<int>(small)) != small) & ~is_nodata;
  }
  int least = INT_MAX, greatest = INT_MIN;
  if (nodata_cells < cols) {
    const auto height = [&](int key, int& h) {
      return RoundIntoInt(static_cast<double>(std::bit_cast<float>(key ^ ((key >> 31) & INT_MAX))) * rule.per_metre, h);
    };
    if (!height(least_key, least) || !height(greatest_key, greatest)) return false;
  }
  if (nodata_cells > 0 && rule.nodata_integral) {
    least = std::min(least, rule.whole_nodata);
    greatest = std::max(greatest, rule.whole_nodata);
  } else {
    out.marks += nodata_cells;
  }
  out.least = std::min(out.least, least);
  out.greatest = std::max(out.greatest, greatest);
  out.fractions = out.fractions || fractions != 0;
  return true;
}

bool ConvertRow(GDALDataType type, const unsigned char* from, int* to, int cols, long long stored_row,
                bool east_to_west, const Rule& rule, Converted& out) {
  if (type == GDT_Int32) return ConvertIntRow(to, cols, stored_row, east_to_west, rule, out);
  if (type == GDT_Float32) return ConvertRow<float>(from, to, cols, stored_row, east_to_west, rule, out);
  return ConvertRow<double>(from, to, cols, stored_row, east_to_west, rule, out);
}

Rule MakeRule(bool has_nodata, double nodata, double per_metre) {
  Rule rule{per_metre, static_cast<long long>(per_metre), has_nodata, nodata, false, 0, false, 0};
  rule.nodata_int = has_nodata && nodata == std::floor(nodata) && nodata >= INT_MIN && nodata <= INT_MAX;
  if (rule.nodata_int) rule.int_nodata = static_cast<int>(nodata);
  rule.nodata_integral = WholeNoData(has_nodata, nodata, per_metre, rule.whole_nodata);
  return rule;
}

std::intptr_t Address(const int* row) { return reinterpret_cast<std::intptr_t>(row); }

// Reads stored rows first .. first + count - 1 as `type` into their grid rows: one read for
// each run of rows that lie evenly apart in memory, as rows allocated one after another
// mostly do.
template <class RowOf>
bool ReadInPlace(GDALRasterBandH band, GDALDataType type, int first, int count, int cols, RowOf row_of) {
  const std::intptr_t row_bytes = static_cast<std::intptr_t>(cols) * sizeof(int);
  for (int r = first, end = first + count; r < end;) {
    int* start = row_of(r);
    const std::intptr_t step = r + 1 < end ? Address(row_of(r + 1)) - Address(start) : 0;
    int run = 1;
    if (step >= row_bytes)
      while (r + run < end && Address(row_of(r + run)) - Address(row_of(r + run - 1)) == step) ++run;
    if (GDALRasterIO(band, GF_Read, 0, r, cols, run, start, cols, run, type, 0, run > 1 ? step : 0) != CE_None)
      return false;
    r += run;
  }
  return true;
}

}  // namespace

bool WholeNoData(bool has_nodata, double nodata, double per_metre, int& whole) {
  const NoDataHeight height = ScaleNoDataValue(nodata, per_metre);
  if (!has_nodata || !height.integral) return false;
  whole = height.rounded;
  return true;
}

Converted ReadAndConvert(GDALRasterBandH band, int rows, int cols, int** values, bool has_nodata, double nodata,
                         double per_metre, bool south_up, bool east_to_west, bool keep_floats) {
  Converted out;
  const GDALDataType type = ReadType(GDALGetRasterDataType(band), per_metre);
  const bool in_place = type != GDT_Float64;
  const int chunk = static_cast<int>(std::clamp(kChunkBytes / (cols * 4LL), 1LL, static_cast<long long>(rows)));
  std::unique_ptr<double[]> buffer;
  if (!in_place) {
    buffer.reset(new (std::nothrow) double[static_cast<size_t>(chunk) * cols]);
    if (!buffer) {
      out.read = false;
      return out;
    }
  }

  const Rule rule = MakeRule(has_nodata, nodata, per_metre);
  const bool measure_only = keep_floats && type == GDT_Float32;
  out.floats_kept = measure_only;
  const auto row_of = [&](int r) { return values[south_up ? rows - 1 - r : r]; };
  for (int first = 0; first < rows; first += chunk) {
    const int count = std::min(chunk, rows - first);
    const bool whole = in_place ? ReadInPlace(band, type, first, count, cols, row_of)
                                : GDALRasterIO(band, GF_Read, 0, first, cols, count, buffer.get(), cols, count,
                                               GDT_Float64, 0, 0) == CE_None;
    for (int i = 0; i < count; ++i) {
      const int r = first + i;
      int* to = row_of(r);
      double* from_buffer = buffer ? buffer.get() + (whole ? static_cast<size_t>(i) * cols : 0) : nullptr;
      // A chunk with a bad block is read again row by row, so that the read stops at that
      // block only after the heights above it are checked.
      if (!whole && GDALRasterIO(band, GF_Read, 0, r, cols, 1, in_place ? static_cast<void*>(to) : from_buffer, cols,
                                 1, type, 0, 0) != CE_None) {
        out.read = false;
        return out;
      }
      if (east_to_west) {
        if (in_place) std::reverse(to, to + cols);
        else std::reverse(from_buffer, from_buffer + cols);
      }
      const unsigned char* from =
          in_place ? reinterpret_cast<const unsigned char*>(to) : reinterpret_cast<const unsigned char*>(from_buffer);
      const bool fits = measure_only ? MeasureFloatRow(to, cols, rule, out) ||
                                           ConvertRow<float, false>(from, to, cols, r, east_to_west, rule, out)
                                     : ConvertRow(type, from, to, cols, r, east_to_west, rule, out);
      if (!fits) return out;
    }
  }
  return out;
}

Converted ConvertKeptFloats(int rows, int cols, int** values, bool has_nodata, double nodata, double per_metre,
                            bool south_up, bool east_to_west) {
  Converted out;
  const Rule rule = MakeRule(has_nodata, nodata, per_metre);
  for (int r = 0; r < rows; ++r) {
    int* row = values[south_up ? rows - 1 - r : r];
    if (!ConvertRow<float>(reinterpret_cast<const unsigned char*>(row), row, cols, r, east_to_west, rule, out))
      break;
  }
  return out;
}

}  // namespace raster
