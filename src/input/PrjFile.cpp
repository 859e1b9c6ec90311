#include "PrjFile.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <ogr_srs_api.h>
#include <sys/stat.h>

std::string CoordinateSystemBeside(const char* grid_path) {
  std::string base = grid_path;
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && base.find('/', dot) == std::string::npos) base.resize(dot);
  for (const char* ending : {".prj", ".PRJ"}) {
    const std::string prj = base + ending;
    struct stat st;
    if (stat(prj.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const bool read = OSRSetFromUserInput(srs, prj.c_str()) == OGRERR_NONE;  // ESRI's WKT too
    CPLPopErrorHandler();
    std::string wkt;
    char* text = nullptr;
    if (read && OSRExportToWkt(srs, &text) == OGRERR_NONE && text != nullptr) wkt = text;
    CPLFree(text);
    OSRDestroySpatialReference(srs);
    return wkt;
  }
  return "";
}
