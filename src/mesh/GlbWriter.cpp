#include "GlbWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "GlbJson.h"
#include "PngEncode.h"

namespace mesh_export {

static_assert(std::endian::native == std::endian::little, "binary glTF writing assumes little-endian");

namespace {

constexpr uint32_t kMagic = 0x46546C67, kJsonChunk = 0x4E4F534A, kBinChunk = 0x004E4942;

// What turns a drawn normal's x (or z), scaled by `drawn` from the grid normal, into the
// surface normal's at `height` drawn y per unit and `spacing` drawn x per column: the
// grid normal's scale for a surface stretched so is height / spacing. 0 when the surface
// is flat (no height scale), where only y is left.
double SurfaceFactor(double height, double spacing, float drawn) {
  return drawn != 0 && spacing != 0 ? height / spacing / drawn : 0;
}

}  // namespace

Status WriteGlb(const MeshToWrite& m, const data& grid, const DrawScales& scales, int units_per_metre,
                const GlbTexture& texture, BufferedFile& out) {
  const Base* base = m.base_or_null();
  const std::vector<uint32_t>& ix = m.mesh->indices;
  const size_t surface = m.corners.size();
  const size_t vertices = SolidVertices(surface, base);
  const size_t base_triangles = SolidTriangles(ix.size() / 3, base) - ix.size() / 3;
  const bool textured = texture.rgb != nullptr && texture.width > 0 && texture.height > 0;

  std::vector<unsigned char> png;
  if (textured && !EncodePng(texture.width, texture.height, texture.rgb, &png))
    return Status::Failure("the texture could not be encoded as PNG");

  // The bounding box of everything written, in metres; its centre goes to the origin.
  double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (const Corner& c : m.corners) {
    low[0] = std::min(low[0], double{c.x}), high[0] = std::max(high[0], double{c.x});
    low[1] = std::min(low[1], double{c.y}), high[1] = std::max(high[1], double{c.y});
    low[2] = std::min(low[2], double{c.z}), high[2] = std::max(high[2], double{c.z});
  }
  if (base != nullptr) low[1] = std::min(low[1], double{base->bottom});
  const double centre[3] = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
  const auto placed = [&](const Corner& c) {
    return Corner{static_cast<float>(c.x - centre[0]), static_cast<float>(c.y - centre[1]),
                  static_cast<float>(c.z - centre[2])};
  };
  // min and max as written: the float of each shifted bound is the bound of the shifted floats.
  const Corner least = placed({static_cast<float>(low[0]), static_cast<float>(low[1]), static_cast<float>(low[2])});
  const Corner most = placed({static_cast<float>(high[0]), static_cast<float>(high[1]), static_cast<float>(high[2])});

  GlbLayout layout = LayOut(vertices, ix.size(), 3 * base_triangles, textured, png.size());
  layout.least = least, layout.most = most;
  const GlbPlace place{grid, scales, units_per_metre, {centre[0], centre[1], centre[2]}};
  const std::string json = GlbJson(layout, place);
  const uint64_t total = 12 + 8 + json.size() + 8 + layout.end;
  if (total > UINT32_MAX) return Status::Failure("the mesh is too large for a binary glTF file (4 GiB at most)");

  out.Raw(kMagic);
  out.Raw(uint32_t{2});
  out.Raw(static_cast<uint32_t>(total));
  out.Raw(static_cast<uint32_t>(json.size()));
  out.Raw(kJsonChunk);
  out.Text(json);
  out.Raw(static_cast<uint32_t>(layout.end));
  out.Raw(kBinChunk);

  for (const Corner& c : m.corners) out.Raw(placed(c));
  if (base != nullptr) {
    for (const Corner& c : m.corners) out.Raw(placed(Corner{c.x, base->bottom, c.z}));
    if (base->fan) out.Raw(placed(base->centre));
  }
  // The drawn normals light height differences over grid steps (DrawScales); a glTF
  // viewer lights the surface as it lies, so x and z take the slopes over the spacing.
  const double along_x = SurfaceFactor(scales.height, scales.column, scales.normal_x);
  const double along_z = SurfaceFactor(scales.height, scales.row, scales.normal_z);
  const float* n = m.arrays.normals.data();
  for (size_t i = 0; i < surface; ++i, n += 3) {
    const double x = n[0] * along_x, y = n[1], z = n[2] * along_z;
    const double length = std::sqrt(x * x + y * y + z * z);
    const Corner unit = length > 0 ? Corner{static_cast<float>(x / length), static_cast<float>(y / length),
                                            static_cast<float>(z / length)}
                                   : Corner{0, 1, 0};
    out.Raw(unit);
  }
  for (size_t i = surface; i < vertices; ++i) out.Raw(Corner{0, -1, 0});  // the bottom's
  if (textured) {
    out.Bytes(m.arrays.texcoords.data(), 4 * m.arrays.texcoords.size());
    for (size_t i = surface; i < vertices; ++i) {
      const size_t top = i - surface < surface ? i - surface : 0;  // the fan's centre takes any
      out.Bytes(&m.arrays.texcoords[2 * top], 8);
    }
  }
  out.Bytes(ix.data(), 4 * ix.size());
  if (base != nullptr) {
    ForEachBaseFace(surface, ix, *base, [&](uint32_t a, uint32_t b, uint32_t c) {
      const uint32_t corners[3] = {a, b, c};
      out.Bytes(corners, sizeof corners);
    });
  }
  if (!png.empty()) out.Bytes(png.data(), png.size());
  for (uint64_t k = layout.image_at + png.size(); k < layout.end; ++k) out.Char(0);
  return Status::Ok();
}

}  // namespace mesh_export
