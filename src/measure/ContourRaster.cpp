#include "ContourRaster.h"

#include <gdal_alg.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace contours {

namespace {

// Float32 holds whole metres exactly up to 2^24; finer units or bigger figures need Float64.
bool FloatsSuffice(const data& grid) {
  constexpr int kExact = 1 << 24;
  const auto fits = [](int v) { return v > -kExact && v < kExact; };
  return grid.units_per_metre == 1 && fits(grid.y_min) && fits(grid.y_max) && (!grid.has_nodata || fits(grid.nodata));
}

template <class T>
bool WriteRows(GDALRasterBandH band, const data& grid, GDALDataType type) {
  std::vector<T> row(static_cast<size_t>(grid.cols));
  const double per_metre = grid.units_per_metre > 0 ? grid.units_per_metre : 1;
  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < grid.cols; ++c) row[c] = static_cast<T>(grid.values[r][c] / per_metre);
    if (GDALRasterIO(band, GF_Write, 0, r, grid.cols, 1, row.data(), grid.cols, 1, type, 0, 0) != CE_None)
      return false;
  }
  return true;
}

struct ProgressCall {
  const std::function<bool(double)>* go_on;
};

int CPL_STDCALL AskToGoOn(double done, const char*, void* arg) {
  const auto* call = static_cast<ProgressCall*>(arg);
  return (*call->go_on)(done) ? TRUE : FALSE;
}

std::string Figure(double v) {
  char text[40];
  snprintf(text, sizeof text, "%.17g", v);
  return text;
}

double NoDataMetres(const data& grid) {
  return grid.nodata / static_cast<double>(grid.units_per_metre > 0 ? grid.units_per_metre : 1);
}

}  // namespace

std::string LastGdalReason(const char* otherwise) {
  std::string why = CPLGetLastErrorMsg();
  while (!why.empty() && (why.back() == '.' || std::isspace(static_cast<unsigned char>(why.back())))) why.pop_back();
  return why.empty() ? otherwise : why;
}

void RegisterDrivers() {
  // No lock of ours around it: GDAL guards its driver list itself, and registering again
  // only finds the drivers there.
  static std::atomic<bool> registered{false};
  if (registered.load(std::memory_order_acquire)) return;
  GDALAllRegister();
  registered.store(true, std::memory_order_release);
}

Dataset HeightRaster(const data& grid, const double geotransform[6]) {
  RegisterDrivers();
  GDALDriverH mem = GDALGetDriverByName("MEM");
  if (mem == nullptr || grid.rows <= 0 || grid.cols <= 0) return nullptr;
  const GDALDataType type = FloatsSuffice(grid) ? GDT_Float32 : GDT_Float64;
  Dataset raster(GDALCreate(mem, "", grid.cols, grid.rows, 1, type, nullptr));
  if (!raster) return nullptr;
  GDALSetGeoTransform(raster.get(), const_cast<double*>(geotransform));
  GDALRasterBandH band = GDALGetRasterBand(raster.get(), 1);
  if (grid.has_nodata) GDALSetRasterNoDataValue(band, NoDataMetres(grid));
  const bool written = type == GDT_Float32 ? WriteRows<float>(band, grid, type) : WriteRows<double>(band, grid, type);
  return written ? std::move(raster) : nullptr;
}

Status GenerateContours(GDALDatasetH raster, const data& grid, OGRLayerH layer, double interval,
                        ContourFields fields, const std::function<bool(double done)>& go_on) {
  if (!(interval > 0)) return Status::Failure("the interval between contours must be above 0");
  std::vector<std::string> texts = {"LEVEL_INTERVAL=" + Figure(interval), "LEVEL_BASE=0"};
  if (fields.id >= 0) texts.push_back("ID_FIELD=" + std::to_string(fields.id));
  if (fields.elev >= 0) texts.push_back("ELEV_FIELD=" + std::to_string(fields.elev));
  if (grid.has_nodata) texts.push_back("NODATA=" + Figure(NoDataMetres(grid)));
  std::vector<const char*> options;
  for (const std::string& t : texts) options.push_back(t.c_str());
  options.push_back(nullptr);

  const std::function<bool(double)> always = [](double) { return true; };
  ProgressCall call{go_on ? &go_on : &always};
  CPLErrorReset();
  const CPLErr made = GDALContourGenerateEx(GDALGetRasterBand(raster, 1), layer, options.data(), AskToGoOn, &call);
  if (made == CE_None) return Status::Ok();
  return Status::Failure(LastGdalReason("GDAL's contour generator failed"));
}

}  // namespace contours
