#include "GlbWriter.h"

#include <cpl_json.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace mesh_export {

static_assert(std::endian::native == std::endian::little, "binary glTF writing assumes little-endian");

namespace {

// glTF's numbers for what the accessors and views hold.
constexpr int kFloat = 5126, kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
constexpr int kLinear = 9729, kClampToEdge = 33071;

constexpr uint32_t kMagic = 0x46546C67, kJsonChunk = 0x4E4F534A, kBinChunk = 0x004E4942;

uint64_t Padded4(uint64_t n) { return (n + 3) & ~uint64_t{3}; }

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

CPLJSONArray Numbers(std::initializer_list<double> values) {
  CPLJSONArray a;
  for (double v : values) a.Add(v);
  return a;
}

// The pieces of the BIN chunk in their order, each starting on four bytes.
struct Layout {
  uint64_t positions = 0, normals = 0, texcoords = 0, indices = 0, base_indices = 0, image = 0, end = 0;
};

// Counts kept beside the arrays, which CPLJSONArray does not report cheaply.
struct Counted {
  CPLJSONArray array;
  int n = 0;
  int Add(const CPLJSONObject& o) {
    array.Add(o);
    return n++;
  }
};

// The buffer views and accessors, numbered as they are added.
struct Views {
  Counted views, accessors;
  CPLJSONObject last;  // the latest accessor (a handle on the one in the array)

  int View(uint64_t offset, uint64_t length, int target) {
    CPLJSONObject v;
    v.Add("buffer", 0);
    v.Add("byteOffset", static_cast<GInt64>(offset));
    v.Add("byteLength", static_cast<GInt64>(length));
    if (target != 0) v.Add("target", target);
    return views.Add(v);
  }
  int Accessor(int view, int component, uint64_t count, const char* type) {
    last = CPLJSONObject();
    last.Add("bufferView", view);
    last.Add("componentType", component);
    last.Add("count", static_cast<GInt64>(count));
    last.Add("type", type);
    return accessors.Add(last);
  }
};

// What turns a drawn normal's x (or z), scaled by `drawn` from the grid normal, into the
// surface normal's at `height` drawn y per unit and `spacing` drawn x per column: the
// grid normal's scale for a surface stretched so is height / spacing. 0 when the surface
// is flat (no height scale), where only y is left.
double SurfaceFactor(double height, double spacing, float drawn) {
  return drawn != 0 && spacing != 0 ? height / spacing / drawn : 0;
}

CPLJSONObject Material(const char* name, int texture, float grey) {
  CPLJSONObject pbr;
  if (texture >= 0) {
    CPLJSONObject base_colour;
    base_colour.Add("index", texture);
    pbr.Add("baseColorTexture", base_colour);
  } else {
    pbr.Add("baseColorFactor", Numbers({grey, grey, grey, 1.0}));
  }
  pbr.Add("metallicFactor", 0.0);
  pbr.Add("roughnessFactor", 1.0);
  CPLJSONObject material;
  material.Add("name", name);
  material.Add("pbrMetallicRoughness", pbr);
  return material;
}

CPLJSONObject Extras(const data& grid, const DrawScales& scales, int units_per_metre, const double (&centre)[3]) {
  CPLJSONObject extras;
  extras.Add("units", "metre");
  extras.Add("translation", Numbers({centre[0], centre[1], centre[2]}));
  extras.Add("columns", grid.cols);
  extras.Add("rows", grid.rows);
  extras.Add("column_metres", static_cast<double>(scales.column) / units_per_metre);
  extras.Add("row_metres", static_cast<double>(scales.row) / units_per_metre);
  extras.Add("height_scale", scales.height);
  if (grid.place.known) {
    const GridPlace& p = grid.place;
    CPLJSONObject place;
    place.Add("lower_left", Numbers({p.left, p.bottom}));
    place.Add("cell_size", Numbers({p.cell_x, p.cell_y}));
    place.Add("degrees", p.degrees);
    place.Add("coordinate_system", p.coordinate_system);
    extras.Add("place", place);
  }
  return extras;
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
  if (textured &&
      !stbi_write_png_to_func(AppendBytes, &png, texture.width, texture.height, 3, texture.rgb, texture.width * 3))
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

  Layout at;
  at.positions = 0;
  at.normals = at.positions + 12 * uint64_t{vertices};
  at.texcoords = at.normals + 12 * uint64_t{vertices};
  at.indices = at.texcoords + (textured ? 8 * uint64_t{vertices} : 0);
  at.base_indices = at.indices + 4 * uint64_t{ix.size()};
  at.image = at.base_indices + 12 * uint64_t{base_triangles};
  at.end = Padded4(at.image + png.size());

  Views j;
  const int position_view = j.View(at.positions, at.normals - at.positions, kArrayBuffer);
  const int position = j.Accessor(position_view, kFloat, vertices, "VEC3");
  j.last.Add("min", Numbers({least.x, least.y, least.z}));
  j.last.Add("max", Numbers({most.x, most.y, most.z}));
  const int normal = j.Accessor(j.View(at.normals, at.texcoords - at.normals, kArrayBuffer), kFloat, vertices, "VEC3");
  int texcoord = -1;
  if (textured)
    texcoord = j.Accessor(j.View(at.texcoords, at.indices - at.texcoords, kArrayBuffer), kFloat, vertices, "VEC2");
  const int indices = j.Accessor(j.View(at.indices, at.base_indices - at.indices, kElementArrayBuffer), kUnsignedInt,
                                 ix.size(), "SCALAR");
  int base_indices = -1;
  if (base != nullptr)
    base_indices = j.Accessor(j.View(at.base_indices, at.image - at.base_indices, kElementArrayBuffer), kUnsignedInt,
                              3 * base_triangles, "SCALAR");

  CPLJSONObject root;
  CPLJSONObject asset;
  asset.Add("version", "2.0");
  asset.Add("generator", "Brackenholmer");
  root.Add("asset", asset);
  root.Add("scene", 0);
  CPLJSONObject scene;
  CPLJSONArray scene_nodes;
  scene_nodes.Add(0);
  scene.Add("nodes", scene_nodes);
  CPLJSONArray scenes;
  scenes.Add(scene);
  root.Add("scenes", scenes);
  CPLJSONObject node;
  node.Add("name", "terrain");
  node.Add("mesh", 0);
  node.Add("extras", Extras(grid, scales, units_per_metre, centre));
  CPLJSONArray nodes;
  nodes.Add(node);
  root.Add("nodes", nodes);

  CPLJSONArray materials;
  CPLJSONObject attributes;
  attributes.Add("POSITION", position);
  attributes.Add("NORMAL", normal);
  if (textured) {
    attributes.Add("TEXCOORD_0", texcoord);
    CPLJSONObject image;
    image.Add("bufferView", j.View(at.image, png.size(), 0));
    image.Add("mimeType", "image/png");
    CPLJSONArray images;
    images.Add(image);
    root.Add("images", images);
    CPLJSONObject sampler;
    sampler.Add("magFilter", kLinear);
    sampler.Add("minFilter", kLinear);
    sampler.Add("wrapS", kClampToEdge);
    sampler.Add("wrapT", kClampToEdge);
    CPLJSONArray samplers;
    samplers.Add(sampler);
    root.Add("samplers", samplers);
    CPLJSONObject tex;
    tex.Add("sampler", 0);
    tex.Add("source", 0);
    CPLJSONArray textures;
    textures.Add(tex);
    root.Add("textures", textures);
  }
  materials.Add(Material("terrain", textured ? 0 : -1, 1.0f));
  CPLJSONObject primitive;
  primitive.Add("attributes", attributes);
  primitive.Add("indices", indices);
  primitive.Add("material", 0);
  primitive.Add("mode", 4);
  CPLJSONArray primitives;
  primitives.Add(primitive);
  if (base != nullptr) {
    materials.Add(Material("base", -1, 0.6f));
    CPLJSONObject base_attributes;
    base_attributes.Add("POSITION", position);
    CPLJSONObject base_primitive;
    base_primitive.Add("attributes", base_attributes);
    base_primitive.Add("indices", base_indices);
    base_primitive.Add("material", 1);
    base_primitive.Add("mode", 4);
    primitives.Add(base_primitive);
  }
  root.Add("materials", materials);
  CPLJSONObject mesh;
  mesh.Add("name", "terrain");
  mesh.Add("primitives", primitives);
  CPLJSONArray meshes;
  meshes.Add(mesh);
  root.Add("meshes", meshes);
  root.Add("bufferViews", j.views.array);
  root.Add("accessors", j.accessors.array);
  CPLJSONObject buffer;
  buffer.Add("byteLength", static_cast<GInt64>(at.end));
  CPLJSONArray buffers;
  buffers.Add(buffer);
  root.Add("buffers", buffers);

  std::string json = root.Format(CPLJSONObject::PrettyFormat::Plain);
  json.resize(Padded4(json.size()), ' ');
  const uint64_t total = 12 + 8 + json.size() + 8 + at.end;
  if (total > UINT32_MAX) return Status::Failure("the mesh is too large for a binary glTF file (4 GiB at most)");

  out.Raw(kMagic);
  out.Raw(uint32_t{2});
  out.Raw(static_cast<uint32_t>(total));
  out.Raw(static_cast<uint32_t>(json.size()));
  out.Raw(kJsonChunk);
  out.Text(json);
  out.Raw(static_cast<uint32_t>(at.end));
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
    const uint32_t low_copy = static_cast<uint32_t>(surface);
    const auto face = [&](uint32_t a, uint32_t b, uint32_t c) {
      const uint32_t corners[3] = {a, b, c};
      out.Bytes(corners, sizeof corners);
    };
    // As PlyWriter and ForEachSolidTriangle lay the base.
    if (base->fan) {
      for (const auto& [from, to] : base->outline) face(low_copy + from, 2 * low_copy, low_copy + to);
    } else {
      for (size_t t = 0; t + 2 < ix.size(); t += 3) face(low_copy + ix[t], low_copy + ix[t + 2], low_copy + ix[t + 1]);
    }
    for (const auto& [from, to] : base->outline) {
      face(to, from, low_copy + from);
      face(to, low_copy + from, low_copy + to);
    }
  }
  out.Bytes(png.data(), png.size());
  for (uint64_t k = at.image + png.size(); k < at.end; ++k) out.Char(0);
  return Status::Ok();
}

}  // namespace mesh_export
