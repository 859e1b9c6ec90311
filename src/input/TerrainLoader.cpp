// The loader's front: which reader takes a file (the ASCII reader, GDAL, or the one after
// the other), and the words that are no heights in ASCII grids GDAL would read as 0.
#include "TerrainLoader.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "AsciiGridReader.h"
#include "AsciiHeights.h"
#include "RasterLoader.h"
#include "Report.h"

bool TerrainLoader::LoadArcASCIIFile(const char* filename) {
  reason[0] = '\0';
  note[0] = '\0';
  header_refused_ = false;
  return ReadAsciiGrid(filename, ReportLines{msg, reason, note, sizeof msg}, header_refused_, units);
}

namespace {

// Whether the file starts like an ASCII grid: its first word, in any case, is a header
// keyword. Binary rasters (GeoTIFF, HGT) never do.
bool LooksLikeAsciiGrid(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return true;  // the ASCII reader reports on it
  char start[32] = {};
  const size_t got = fread(start, 1, sizeof start - 1, file);
  fclose(file);
  size_t i = 0;
  while (i < got && isspace(static_cast<unsigned char>(start[i]))) ++i;
  for (const char* keyword : {"ncols", "nrows"}) {
    if (strncasecmp(start + i, keyword, strlen(keyword)) == 0) return true;
  }
  return false;
}

// GDAL reads a word that is no number as 0. Before it reads an ASCII grid, its header is
// read for the size and NODATA value, and its heights are checked by the ASCII reader's
// scanner: false, with the report in `msg`, at the first word that is no height.
bool HeightsAreNumbers(const char* path, char* msg) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return true;  // GDAL reports on it
  std::string text;
  char chunk[1 << 16];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
  fclose(file);
  const char* p = text.c_str();
  const char* const end = p + text.size();
  long long cols = 0, rows = 0;
  const char* nodata = nullptr;
  // Header lines: a keyword and its value.
  for (;;) {
    const char* word = p;
    while (word < end && (*word == ' ' || *word == '\t')) ++word;
    const char* after = word;
    while (after < end && isalpha(static_cast<unsigned char>(*after))) ++after;
    if (after < end && *after == '_') after += strcspn(after, " \t\r\n");
    const std::string key(word, after);
    const char* const keys[] = {"ncols", "nrows", "xllcorner", "yllcorner", "xllcenter", "yllcenter",
                                "cellsize", "dx", "dy", "nodata_value"};
    if (std::none_of(std::begin(keys), std::end(keys), [&](const char* k) { return strcasecmp(k, key.c_str()) == 0; }))
      break;
    if (strcasecmp(key.c_str(), "ncols") == 0) cols = atoll(after);
    if (strcasecmp(key.c_str(), "nrows") == 0) rows = atoll(after);
    if (strcasecmp(key.c_str(), "nodata_value") == 0) nodata = after;
    p = static_cast<const char*>(memchr(after, '\n', end - after));
    if (p == nullptr) return true;
    ++p;
  }
  return CheckAsciiHeights(path, text, static_cast<size_t>(p - text.c_str()), rows, cols, nodata, msg);
}

}  // namespace

bool TerrainLoader::LoadTerrainFile(const char* filename) {
  const ReportLines out{msg, reason, note, sizeof msg};
  // Pipes, directories and missing files go to the ASCII reader: a look at a pipe's first
  // bytes would take them away from the reader, and its reports cover the rest.
  struct stat info;
  if (stat(filename, &info) != 0 || !S_ISREG(info.st_mode)) return LoadArcASCIIFile(filename);
  if (LooksLikeAsciiGrid(filename)) {
    // The fast reader first; GDAL takes the headers it refuses (upper case, xllcenter,
    // dx and dy, no NODATA line).
    const bool loaded = LoadArcASCIIFile(filename);
    if (loaded || !header_refused_) return loaded;
    char ascii_msg[sizeof msg], ascii_reason[sizeof msg];
    memcpy(ascii_msg, msg, sizeof msg);
    memcpy(ascii_reason, reason, sizeof msg);
    reason[0] = '\0';
    note[0] = '\0';
    WriteReport(note, sizeof msg, "The file ", filename, " has a header the ASCII reader does not take; GDAL reads it.");
    if (!HeightsAreNumbers(filename, msg)) return false;
    switch (raster::LoadWithGdal(filename, input, out, units)) {
      case raster::Result::kLoaded: return true;
      case raster::Result::kRefused: return false;
      case raster::Result::kNoRaster: break;
    }
    memcpy(msg, ascii_msg, sizeof msg);
    memcpy(reason, ascii_reason, sizeof msg);
    note[0] = '\0';
    return false;
  }
  reason[0] = '\0';
  note[0] = '\0';
  switch (raster::LoadWithGdal(filename, input, out, units)) {
    case raster::Result::kLoaded: return true;
    case raster::Result::kRefused: return false;
    case raster::Result::kNoRaster: break;
  }
  if (reason[0] != '\0') return false;  // GDAL knew the format and said why it failed
  // Neither reader takes it: the ASCII reader's report says what it expected.
  return LoadArcASCIIFile(filename);
}

bool GridHoldsHeights() {
  for (int r = 0; r < input.rows; ++r)
    for (int c = 0; c < input.cols; ++c)
      if (!IsNoData(input.values[r][c])) return true;
  return false;
}
