#include "MeshExportCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"
#include "MeshList.h"
#include "TextureDecode.h"

namespace {

// The drape of a .glb as RGB rows, top row first; empty with `why` set when the image
// cannot be decoded, and the terrain is then written without it, as the window then
// draws it without a texture.
std::vector<unsigned char> DrapeRgb(const char* path, int& width, int& height, std::string& why) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) {
    why = strerror(errno);
    return {};
  }
  DecodedImage image;
  Status status = DecodeImage(file, SniffImage(file, path), image);
  if (status.ok()) status = image.ToBgrRows();
  if (!status.ok()) {
    why = status.reason();
    return {};
  }
  width = image.width(), height = image.height();
  const size_t stride = (3 * static_cast<size_t>(width) + 3) & ~size_t{3};
  std::vector<unsigned char> rgb(3 * static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const unsigned char* bgr = image.rows() + y * stride;
    unsigned char* row = &rgb[3 * static_cast<size_t>(width) * y];
    for (int x = 0; x < width; ++x)
      row[3 * x] = bgr[3 * x + 2], row[3 * x + 1] = bgr[3 * x + 1], row[3 * x + 2] = bgr[3 * x];
  }
  return rgb;
}

}  // namespace

int ExportMesh(const char* out, const char* texture, bool base) {
  if (!show_nodata && !GridHoldsHeights()) {
    printf("\tCannot export %s: %s.\n\n", out, kNoTerrainReason);
    return 1;
  }
  MeshWholeGrid();
  // With Screen Error the mesh is that of the view --camera and --size give.
  if (screen_error) ResetView();
  else Viewer.CalcNormales();
  if (NormalTableMissing()) {
    printf("\tCannot export %s: not enough memory for the normals of the grid.\n\n", out);
    return 1;
  }
  const IndexedMesh mesh = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  mesh::PrintLimitLine(mesh.limit_line);
  mesh_export::Options options;
  options.base = base;
  options.units_per_metre = input.units_per_metre;
  if (texture != nullptr) options.texture = texture;
  std::vector<unsigned char> drape;
  mesh_export::Format format;
  if (texture != nullptr && mesh_export::FormatOf(out, format) && format == mesh_export::Format::kGlb) {
    std::string why;
    drape = DrapeRgb(texture, options.texture_width, options.texture_height, why);
    if (drape.empty()) printf("\tThe texture %s is left out of %s: %s.\n\n", texture, out, why.c_str());
    options.texture_rgb = drape.empty() ? nullptr : drape.data();
  }
  mesh_export::Written written;
  const Status saved = mesh_export::Write(mesh, input, normales, CurrentDrawScales(), out, options, &written);
  if (!saved.ok()) {
    printf("\t%s\n\n", saved.reason().c_str());
    return 1;
  }
  printf("\tWrote %zu vertices and %zu triangles to %s.\n\n", written.vertices, written.triangles, out);
  return 0;
}
