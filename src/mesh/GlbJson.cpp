#include "GlbJson.h"

#include <cpl_json.h>

#include <string>

namespace mesh_export {

namespace {

// glTF's numbers for what the accessors and views hold.
constexpr int kFloat = 5126, kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
constexpr int kLinear = 9729, kClampToEdge = 33071;

CPLJSONArray Numbers(std::initializer_list<double> values) {
  CPLJSONArray a;
  for (double v : values) a.Add(v);
  return a;
}

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

CPLJSONObject Extras(const GlbPlace& place) {
  CPLJSONObject extras;
  extras.Add("units", "metre");
  extras.Add("translation", Numbers({place.centre[0], place.centre[1], place.centre[2]}));
  extras.Add("columns", place.grid.cols);
  extras.Add("rows", place.grid.rows);
  extras.Add("column_metres", static_cast<double>(place.scales.column) / place.units_per_metre);
  extras.Add("row_metres", static_cast<double>(place.scales.row) / place.units_per_metre);
  extras.Add("height_scale", place.scales.height);
  if (place.grid.place.known) {
    const GridPlace& p = place.grid.place;
    CPLJSONObject where;
    where.Add("lower_left", Numbers({p.left, p.bottom}));
    where.Add("cell_size", Numbers({p.cell_x, p.cell_y}));
    where.Add("degrees", p.degrees);
    where.Add("coordinate_system", p.coordinate_system);
    extras.Add("place", where);
  }
  return extras;
}

}  // namespace

uint64_t Padded4(uint64_t n) { return (n + 3) & ~uint64_t{3}; }

GlbLayout LayOut(size_t vertices, size_t surface_indices, size_t base_indices, bool textured, uint64_t png_bytes) {
  GlbLayout l;
  l.vertices = vertices, l.surface_indices = surface_indices, l.base_indices = base_indices;
  l.textured = textured, l.png_bytes = png_bytes;
  l.normals_at = 12 * uint64_t{vertices};
  l.texcoords_at = l.normals_at + 12 * uint64_t{vertices};
  l.indices_at = l.texcoords_at + (textured ? 8 * uint64_t{vertices} : 0);
  l.base_at = l.indices_at + 4 * uint64_t{surface_indices};
  l.image_at = l.base_at + 4 * uint64_t{base_indices};
  l.end = Padded4(l.image_at + png_bytes);
  return l;
}

std::string GlbJson(const GlbLayout& layout, const GlbPlace& place) {
  Views j;
  const int position_view = j.View(0, layout.normals_at, kArrayBuffer);
  const int position = j.Accessor(position_view, kFloat, layout.vertices, "VEC3");
  j.last.Add("min", Numbers({layout.least.x, layout.least.y, layout.least.z}));
  j.last.Add("max", Numbers({layout.most.x, layout.most.y, layout.most.z}));
  const int normal = j.Accessor(j.View(layout.normals_at, layout.texcoords_at - layout.normals_at, kArrayBuffer),
                                kFloat, layout.vertices, "VEC3");
  int texcoord = -1;
  if (layout.textured)
    texcoord = j.Accessor(j.View(layout.texcoords_at, layout.indices_at - layout.texcoords_at, kArrayBuffer), kFloat,
                          layout.vertices, "VEC2");
  const int indices = j.Accessor(j.View(layout.indices_at, layout.base_at - layout.indices_at, kElementArrayBuffer),
                                 kUnsignedInt, layout.surface_indices, "SCALAR");
  int base_indices = -1;
  if (layout.base_indices > 0)
    base_indices = j.Accessor(j.View(layout.base_at, layout.image_at - layout.base_at, kElementArrayBuffer),
                              kUnsignedInt, layout.base_indices, "SCALAR");

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
  node.Add("extras", Extras(place));
  CPLJSONArray nodes;
  nodes.Add(node);
  root.Add("nodes", nodes);

  CPLJSONArray materials;
  CPLJSONObject attributes;
  attributes.Add("POSITION", position);
  attributes.Add("NORMAL", normal);
  if (layout.textured) {
    attributes.Add("TEXCOORD_0", texcoord);
    CPLJSONObject image;
    image.Add("bufferView", j.View(layout.image_at, layout.png_bytes, 0));
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
  materials.Add(Material("terrain", layout.textured ? 0 : -1, 1.0f));
  CPLJSONObject primitive;
  primitive.Add("attributes", attributes);
  primitive.Add("indices", indices);
  primitive.Add("material", 0);
  primitive.Add("mode", 4);
  CPLJSONArray primitives;
  primitives.Add(primitive);
  if (layout.base_indices > 0) {
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
  buffer.Add("byteLength", static_cast<GInt64>(layout.end));
  CPLJSONArray buffers;
  buffers.Add(buffer);
  root.Add("buffers", buffers);

  std::string json = root.Format(CPLJSONObject::PrettyFormat::Plain);
  json.resize(Padded4(json.size()), ' ');
  return json;
}

}  // namespace mesh_export
