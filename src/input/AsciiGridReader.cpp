#include "AsciiGridReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "AsciiHeader.h"
#include "AsciiHeights.h"
#include "FileText.h"
#include "GridChecks.h"
#include "GridFinish.h"
#include "GridMemory.h"
#include "GridPlace.h"
#include "GridUnits.h"
#include "PrjFile.h"

using namespace ascii;

namespace {

__attribute__((format(printf, 2, 3))) void Explain(const ReportLines& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(out.reason, out.size, format, args);
  va_end(args);
}

void ReportOpenFailure(const ReportLines& out, const char* path, int error) {
  WriteReport(out.msg, out.size, "Could not open the file ", path, "");
  Explain(out, "%s", strerror(error));
}

void ReportReadFailure(const ReportLines& out, const char* path, ReadResult read, int error) {
  if (read == ReadResult::kNoMemory) {
    ReportFileFault(out.msg, out.size, path, "is too large to be read into memory.");
  } else {
    WriteReport(out.msg, out.size, "Could not read the file ", path, "");
    Explain(out, "%s", strerror(error));
  }
}

struct FileCloser {
  FILE* file;
  ~FileCloser() { fclose(file); }
};

// The word on a cell size read as metres, for the note before the report.
void NoteMetres(const ReportLines& out, const char* path, const Header& header, CellUnits units) {
  const double cellsize = header.cellsize;
  if (units == CellUnits::kMetres) {
    char suffix[96];
    snprintf(suffix, sizeof suffix, ", %g, is taken as metres, as --metres says.", cellsize);
    WriteReport(out.note, out.size, "The cell size of ", path, suffix);
  } else {
    char suffix[160];
    snprintf(suffix, sizeof suffix, ", %g, is taken as metres: its corner (%.10g, %.10g) cannot be a longitude and latitude.",
             cellsize, header.corner_x, header.corner_y);
    WriteReport(out.note, out.size, "The cell size of ", path, suffix);
  }
}

}  // namespace

bool ReadAsciiGrid(const char* path, const ReportLines& out, bool& header_refused, CellUnits units) {
  FILE* file = fopen(path, "r");
  if (!file) {
    ReportOpenFailure(out, path, errno);
    return false;
  }
  FileCloser closer{file};
  // fopen accepts a directory here; reading it would fail.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    ReportOpenFailure(out, path, S_ISDIR(info.st_mode) ? EISDIR : errno);
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
    WriteReport(out.msg, out.size, "The file ", path, " is no valid ARC|Info ASCII file.");
    Explain(out, "%s", fault.text);
    return false;
  }
  Status check = CheckGridSize(header.rows, header.cols);
  if (check.ok()) check = CheckCellSize(header.cellsize);
  // A corner that cannot be a longitude and latitude puts the grid in a projected
  // system: its cell size is in metres. --degrees and --metres decide instead; a grid in
  // degrees that reaches past a pole is refused.
  const double cellsize = header.cellsize;
  const double top = header.corner_y + static_cast<double>(header.rows) * cellsize;
  const bool metres = units == CellUnits::kMetres ||
                      (units == CellUnits::kGuess && header.corner_known &&
                       !CornerFitsDegrees(header.corner_x, header.corner_y, header.rows, cellsize));
  if (check.ok() && !metres && header.corner_known) check = CheckWithinPoles(header.corner_y, top, 0);
  if (!check.ok()) {
    ReportRefusal(out.msg, out.size, path, check);
    return false;
  }
  // Degrees to arc-seconds, 30 metres each; exact in double for a float cell size.
  const double spacing_metres = metres ? cellsize : cellsize * 3600.0 * 30.0;
  if (metres) NoteMetres(out, path, header, units);
  const long long widest = std::max(header.rows, header.cols);
  if (TooWideToDraw(widest, spacing_metres)) {
    if (header.cellsize >= 0.1)
      ReportFileFault(out.msg, out.size, path,
                      "has a cell size of %g, too large for %lld cells in degrees; a grid in metres needs its "
                      "corner in metres too.",
                      header.cellsize, widest);
    else
      ReportRefusal(out.msg, out.size, path, CheckDrawableWidth(header.rows, header.cols, spacing_metres));
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
    const Scan scan = ScanHeights(heights, end, rows, cols, nullptr, header.nodata, HeightScale{});
    if (scan.stop != Token::kNumber) {
      ReportScanFault(out.msg, out.size, path, text.bytes, scan, rows, cols);
      return false;
    }
  }

  int** values = AllocateGridFor(path, rows, cols, out.msg, out.size);
  if (!values) return false;
  Scan scan = ScanHeights(heights, end, rows, cols, values, header.nodata, HeightScale{});
  if (scan.stop != Token::kNumber) {
    FreeGrid(values, rows);
    ReportScanFault(out.msg, out.size, path, text.bytes, scan, rows, cols);
    return false;
  }
  // Whole metres read, the units are chosen; fractions of a metre are read once more in
  // the finer units.
  const bool any_height = scan.least <= scan.greatest;
  const GridUnits grid_units = ChooseGridUnits(spacing_metres, !scan.fractions, any_height ? scan.least : 0,
                                               any_height ? scan.greatest : 0, widest);
  if (grid_units.per_metre == 0) {
    FreeGrid(values, rows);
    ReportFileFault(out.msg, out.size, path, "has a cell size of %g%s, too fine to draw.", header.cellsize,
                    metres ? "" : " degrees");
    return false;
  }
  NoData nodata = header.nodata;
  NoteUnits(out, grid_units.per_metre, !scan.fractions);
  if (grid_units.per_metre != 1) {
    const HeightScale scale = ScaleFor(grid_units.per_metre);
    ScaleNoData(nodata, scale.per_metre);
    scan = ScanHeights(heights, end, rows, cols, values, nodata, scale);
  }

  if (scan.numbers > cells) {
    Explain(out, "Warning: the data holds %lld numbers, more than the %lld heights of its header (%d rows x %d "
            "columns); the rest is ignored.", scan.numbers, cells, rows, cols);
  }
  input = FinishGrid(rows, cols, grid_units.spacing, values, scan.least, scan.greatest, scan.marks, nodata.present,
                     nodata.integral, nodata.rounded);
  input.units_per_metre = grid_units.per_metre;
  if (header.corner_known) {
    const double written = header.cellsize_written;
    const double half = header.corner_is_centre ? 0.5 * written : 0.0;
    input.place = GridPlace{true, !metres, header.corner_x - half, header.corner_y - half, written, written};
    input.place.coordinate_system = CoordinateSystemBeside(path);
  }
  WriteReport(out.msg, out.size, "The file ", path, " was loaded succesfully.");
  return true;
}
