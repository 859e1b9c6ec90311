#include "ContourFile.h"

#include <fcntl.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <ogrsf_frmts.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "ContourRaster.h"

namespace {

// The OGR driver for the extension of `path`; null for one of no contour format.
const char* DriverFor(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return nullptr;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "gpkg") return "GPKG";
  if (extension == "geojson") return "GeoJSON";
  return nullptr;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A private folder beside the file, for it and whatever side files its driver makes while
// writing; removed with what is left in it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& beside) : path_(FolderOf(beside) + "/.contours-XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr) {
      error_ = errno;
      path_.clear();
    }
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& path() const { return path_; }
  int error() const { return error_; }

 private:
  std::string path_;
  int error_ = 0;
};

// Gives `from` the name `to` unless a file of that name is there already.
Status MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Status::Ok();
  if (errno == EINVAL || errno == ENOSYS) {  // a file system without the flag
    if (link(from.c_str(), to.c_str()) == 0) return Status::Ok();
  }
  if (errno == EEXIST) return Status::Failure("it exists already; choose another name");
  return Status::Failure(strerror(errno));
}

// {left, cell width, 0, top, 0, -cell height} in the units of the grid's coordinate system:
// the place holds metres for a projected grid. A grid without a place keeps grid positions.
void NativeGeoTransform(const data& grid, double out[6]) {
  const GridPlace& p = grid.place;
  if (!p.known) {
    const double positions[6] = {-0.5, 1, 0, -0.5, 0, 1};
    std::copy(positions, positions + 6, out);
    return;
  }
  double metres_a_unit = 1;
  if (!p.degrees && !p.coordinate_system.empty()) {
    OGRSpatialReferenceH srs = OSRNewSpatialReference(p.coordinate_system.c_str());
    if (srs != nullptr && OSRIsProjected(srs)) metres_a_unit = OSRGetLinearUnits(srs, nullptr);
    OSRDestroySpatialReference(srs);
    if (!(metres_a_unit > 0)) metres_a_unit = 1;
  }
  const double cell_x = p.cell_x / metres_a_unit, cell_y = p.cell_y / metres_a_unit;
  const double left = p.left / metres_a_unit, bottom = p.bottom / metres_a_unit;
  const double geotransform[6] = {left, cell_x, 0, bottom + grid.rows * cell_y, 0, -cell_y};
  std::copy(geotransform, geotransform + 6, out);
}

// The layer "contour" with fields ID and elev, in the grid's coordinate system if it names one.
OGRLayerH MakeLayer(GDALDatasetH file, const data& grid) {
  OGRSpatialReferenceH srs = nullptr;
  if (grid.place.known && !grid.place.coordinate_system.empty()) {
    srs = OSRNewSpatialReference(grid.place.coordinate_system.c_str());
    if (srs != nullptr) OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
  }
  OGRLayerH layer = GDALDatasetCreateLayer(file, "contour", srs, wkbLineString, nullptr);
  if (srs != nullptr) OSRRelease(srs);
  if (layer == nullptr) return nullptr;
  for (auto [name, type] : {std::pair{"ID", OFTInteger}, std::pair{"elev", OFTReal}}) {
    OGRFieldDefnH field = OGR_Fld_Create(name, type);
    const OGRErr made = OGR_L_CreateField(layer, field, TRUE);
    OGR_Fld_Destroy(field);
    if (made != OGRERR_NONE) return nullptr;
  }
  return layer;
}

// Hands the generator's lines on to the file's layer, counting them and their levels on
// the way: reading a big GeoJSON file back would cost a third of writing it.
class CountingLayer : public OGRLayer {
 public:
  CountingLayer(OGRLayer* file_layer, int elev_field) : file_layer_(file_layer), elev_field_(elev_field) {}

  void ResetReading() override {}
  OGRFeature* GetNextFeature() override { return nullptr; }
  OGRFeatureDefn* GetLayerDefn() override { return file_layer_->GetLayerDefn(); }
  int TestCapability(const char* capability) override { return file_layer_->TestCapability(capability); }

  ContourFileCounts Counts() const { return {lines_, static_cast<int>(levels_.size())}; }

 protected:
  OGRErr ICreateFeature(OGRFeature* feature) override {
    const OGRErr made = file_layer_->CreateFeature(feature);
    if (made == OGRERR_NONE) {
      ++lines_;
      levels_.insert(feature->GetFieldAsDouble(elev_field_));
    }
    return made;
  }

 private:
  OGRLayer* file_layer_;
  int elev_field_;
  long long lines_ = 0;
  std::set<double> levels_;
};

Status Failed(const char* what) { return Status::Failure(contours::LastGdalReason(what)); }

}  // namespace

Status WriteContourFile(const data& grid, double interval, const std::string& path, ContourFileCounts* counts,
                        const std::function<void(double done)>& progress) {
  const char* driver_name = DriverFor(path);
  if (driver_name == nullptr) return Status::Failure("contours are written as .gpkg or .geojson files");
  std::error_code ignored;
  if (std::filesystem::symlink_status(path, ignored).type() != std::filesystem::file_type::not_found)
    return Status::Failure("it exists already; choose another name");
  contours::QuietErrors quiet;
  contours::RegisterDrivers();
  GDALDriverH driver = GDALGetDriverByName(driver_name);
  if (driver == nullptr) return Status::Failure(std::string("GDAL has no ") + driver_name + " driver");

  const TemporaryFolder folder(path);
  if (folder.path().empty()) return Status::Failure(strerror(folder.error()));
  const size_t slash = path.find_last_of('/');
  const std::string temporary = folder.path() + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));

  double geotransform[6];
  NativeGeoTransform(grid, geotransform);
  const contours::Dataset raster = contours::HeightRaster(grid, geotransform);
  if (!raster) return Status::Failure("not enough memory for the grid's heights");
  contours::Dataset file(GDALCreate(driver, temporary.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!file) return Failed("GDAL cannot make the file");
  OGRLayerH layer = MakeLayer(file.get(), grid);
  if (layer == nullptr) return Failed("GDAL cannot make the file's layer");

  // One transaction for all lines: a GeoPackage commits each line alone otherwise.
  const bool transaction = GDALDatasetStartTransaction(file.get(), FALSE) == OGRERR_NONE;
  const auto go_on = [&](double done) {
    if (progress) progress(done);
    return true;
  };
  CountingLayer counting(OGRLayer::FromHandle(layer), 1);
  if (Status made = contours::GenerateContours(raster.get(), grid, OGRLayer::ToHandle(&counting), interval, {0, 1}, go_on);
      !made.ok())
    return made;
  if (transaction && GDALDatasetCommitTransaction(file.get()) != OGRERR_NONE) return Failed("GDAL cannot finish the file");
  CPLErrorReset();
  GDALClose(file.release());
  if (CPLGetLastErrorType() >= CE_Failure) return Failed("GDAL cannot finish the file");
  if (Status moved = MoveWithoutReplacing(temporary, path); !moved.ok()) return moved;
  if (counts != nullptr) *counts = counting.Counts();
  return Status::Ok();
}
