// Binary glTF files read back with a small reader (header, chunks, accessors): counts,
// bounds, y up, winding, unit surface normals, the embedded drape and the grid's place.
#include <cpl_json.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MeshBuild.h"
#include "MeshExport.h"
#include "MesherReference.h"

#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

struct Glb {
  std::string bin;
  CPLJSONObject json;

  template <class T>
  std::vector<T> Accessor(int index) const {
    const CPLJSONObject a = json.GetArray("accessors")[index];
    const CPLJSONObject view = json.GetArray("bufferViews")[a.GetInteger("bufferView")];
    std::vector<T> out(view.GetLong("byteLength") / sizeof(T));
    memcpy(out.data(), bin.data() + view.GetLong("byteOffset"), out.size() * sizeof(T));
    return out;
  }
  int Attribute(const char* name) const {
    return json.GetArray("meshes")[0].GetArray("primitives")[0].GetObj("attributes").GetInteger(name, -1);
  }
};

Glb ReadGlb(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  uint32_t head[5], bin_head[2];
  memcpy(head, bytes.data(), sizeof head);
  EXPECT_EQ(head[0], 0x46546C67u);  // "glTF"
  EXPECT_EQ(head[1], 2u);
  EXPECT_EQ(head[2], bytes.size());
  EXPECT_EQ(head[3] % 4, 0u);
  EXPECT_EQ(head[4], 0x4E4F534Au);  // "JSON"
  memcpy(bin_head, bytes.data() + 20 + head[3], sizeof bin_head);
  EXPECT_EQ(bin_head[1], 0x004E4942u);  // "BIN\0"
  EXPECT_EQ(28 + head[3] + bin_head[0], bytes.size());
  Glb glb;
  glb.bin = bytes.substr(28 + head[3]);
  CPLJSONDocument doc;
  EXPECT_TRUE(doc.LoadMemory(bytes.substr(20, head[3])));
  glb.json = doc.GetRoot();
  return glb;
}

class GlbExport : public testing::Test {
 protected:
  void TearDown() override { unlink(path_.c_str()); }
  // A 9 x 17 grid written at 3 x per column, 5 z per row and 2 y per unit, read back.
  Glb Write(const mesh_export::Options& options, mesh_export::Written& written) {
    mesh_mode = 0;
    max_precision = 4;
    mesh_simplification = 0;
    Viewer.CalcNormales();
    const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
    DrawScales scales;
    scales.column = 3, scales.row = 5, scales.height = 2;
    const Status s = mesh_export::Write(m, input, normales, scales, path_, options, &written);
    EXPECT_TRUE(s.ok()) << s.reason();
    return ReadGlb(path_);
  }
  std::string path_ = (fs::path(GENERATED_DATA_DIR) / ("glb_test_" + std::to_string(getpid()) + ".glb")).string();
};

double Dot(const float* a, const float* b) { return double{a[0]} * b[0] + double{a[1]} * b[1] + double{a[2]} * b[2]; }

// Heights rising 7 a column eastward: the east side lies higher, normals lean west.
TEST_F(GlbExport, TiltedPlaneIsCentredYUpAndFacesOutward) {
  mesher_test::ScopedGrid grid(9, 17);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 17; ++c) grid.at(c, r) = 10 + 7 * c;
  mesh_export::Written written;
  const Glb glb = Write({}, written);
  const std::vector<float> p = glb.Accessor<float>(glb.Attribute("POSITION"));
  const std::vector<float> n = glb.Accessor<float>(glb.Attribute("NORMAL"));
  const std::vector<uint32_t> ix =
      glb.Accessor<uint32_t>(glb.json.GetArray("meshes")[0].GetArray("primitives")[0].GetInteger("indices"));
  ASSERT_EQ(p.size(), 3 * written.vertices);
  ASSERT_EQ(ix.size(), 3 * written.triangles);
  // Precision 4 over 17 columns: every point of the grid, two triangles a cell.
  EXPECT_EQ(written.vertices, 17u * 9);
  EXPECT_EQ(written.triangles, 16u * 8 * 2);
  EXPECT_EQ(glb.Attribute("TEXCOORD_0"), -1);

  // Bounds from the grid: x 0 .. 48, y 20 .. 244, z 0 .. 40, centred.
  const CPLJSONObject position = glb.json.GetArray("accessors")[glb.Attribute("POSITION")];
  const double half[3] = {24, 112, 20};
  const CPLJSONArray t = glb.json.GetArray("nodes")[0].GetObj("extras").GetArray("translation");
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(position.GetArray("min")[k].ToDouble(), -half[k]) << k;
    EXPECT_EQ(position.GetArray("max")[k].ToDouble(), half[k]) << k;
  }
  EXPECT_EQ(t[0].ToDouble(), 24);
  EXPECT_EQ(t[1].ToDouble(), 132);
  EXPECT_EQ(t[2].ToDouble(), 20);
  for (size_t i = 0; i < written.vertices; ++i) {
    const double column = (p[3 * i] + 24) / 3;
    ASSERT_EQ(p[3 * i + 1] + 132, 2 * (10 + 7 * column)) << i;  // higher to the east
    // The plane's normal: (-slope, 1, 0) with the slope 14 y over 3 x.
    const float expected[3] = {static_cast<float>(-14 / std::hypot(14.0, 3.0)),
                               static_cast<float>(3 / std::hypot(14.0, 3.0)), 0};
    ASSERT_NEAR(Dot(&n[3 * i], expected), 1, 1e-6) << i;
  }
  for (size_t k = 0; k < ix.size(); k += 3) {
    const float *a = &p[3 * ix[k]], *b = &p[3 * ix[k + 1]], *c = &p[3 * ix[k + 2]];
    const double up = double(b[2] - a[2]) * (c[0] - a[0]) - double(b[0] - a[0]) * (c[2] - a[2]);
    ASSERT_GT(up, 0) << k / 3;  // counter-clockwise seen from above: the face looks up
  }
}

TEST_F(GlbExport, DrapeIsEmbeddedNorthRowOnTopWithThePlace) {
  mesher_test::ScopedGrid grid(9, 17, 30);
  input.place = GridPlace{true, false, 500000.25, 4100000.5, 30, 20, "PROJCS[\"UTM 17N\"]"};
  // 4 x 3 pixels: red at the top left, blue at the bottom right, grey between.
  std::vector<unsigned char> rgb(4 * 3 * 3, 128);
  rgb[0] = 255, rgb[1] = 0, rgb[2] = 0;
  rgb[33] = 0, rgb[34] = 0, rgb[35] = 255;
  mesh_export::Options options;
  options.texture_rgb = rgb.data(), options.texture_width = 4, options.texture_height = 3;
  mesh_export::Written written;
  const Glb glb = Write(options, written);

  const CPLJSONObject image = glb.json.GetArray("images")[0];
  EXPECT_EQ(image.GetString("mimeType"), "image/png");
  const CPLJSONObject view = glb.json.GetArray("bufferViews")[image.GetInteger("bufferView")];
  int w = 0, h = 0, channels = 0;
  unsigned char* png =
      stbi_load_from_memory(reinterpret_cast<const unsigned char*>(glb.bin.data() + view.GetLong("byteOffset")),
                            view.GetInteger("byteLength"), &w, &h, &channels, 3);
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(png, png + 36), rgb);
  stbi_image_free(png);
  EXPECT_EQ(glb.json.GetArray("materials")[0]
                .GetObj("pbrMetallicRoughness")
                .GetObj("baseColorTexture")
                .GetInteger("index", -1),
            0);

  // u = column / columns, v = row / rows: the north-west corner takes the image's top left.
  const std::vector<float> p = glb.Accessor<float>(glb.Attribute("POSITION"));
  const std::vector<float> uv = glb.Accessor<float>(glb.Attribute("TEXCOORD_0"));
  const std::vector<float> n = glb.Accessor<float>(glb.Attribute("NORMAL"));
  ASSERT_EQ(uv.size(), 2 * written.vertices);
  bool north_west = false;
  for (size_t i = 0; i < written.vertices; ++i) {
    const float column = (p[3 * i] + 24) / 3, row = (p[3 * i + 2] + 20) / 5;
    ASSERT_EQ(uv[2 * i], column / 17) << i;
    ASSERT_EQ(uv[2 * i + 1], row / 9) << i;
    north_west = north_west || (uv[2 * i] == 0 && uv[2 * i + 1] == 0 && column == 0 && row == 0);
    ASSERT_EQ(n[3 * i + 1], 1) << i;  // flat: straight up, unit length
  }
  EXPECT_TRUE(north_west);

  const CPLJSONObject place = glb.json.GetArray("nodes")[0].GetObj("extras").GetObj("place");
  EXPECT_EQ(place.GetArray("lower_left")[0].ToDouble(), 500000.25);
  EXPECT_EQ(place.GetArray("lower_left")[1].ToDouble(), 4100000.5);
  EXPECT_EQ(place.GetArray("cell_size")[1].ToDouble(), 20);
  EXPECT_FALSE(place.GetBool("degrees", true));
  EXPECT_EQ(place.GetString("coordinate_system"), "PROJCS[\"UTM 17N\"]");
  EXPECT_EQ(glb.json.GetArray("nodes")[0].GetObj("extras").GetString("units"), "metre");
}

TEST_F(GlbExport, BaseClosesTheSolidBelowTheLowestPoint) {
  mesher_test::ScopedGrid grid(9, 17, 30);
  mesh_export::Options options;
  options.base = true;
  mesh_export::Written written;
  const Glb glb = Write(options, written);
  const CPLJSONObject base = glb.json.GetArray("meshes")[0].GetArray("primitives")[1];
  const size_t surface =
      glb.Accessor<uint32_t>(glb.json.GetArray("meshes")[0].GetArray("primitives")[0].GetInteger("indices")).size();
  EXPECT_EQ(surface + glb.Accessor<uint32_t>(base.GetInteger("indices")).size(), 3 * written.triangles);
  EXPECT_EQ(glb.Accessor<float>(glb.Attribute("POSITION")).size(), 3 * written.vertices);
  // Heights 60 drawn, the bottom at 59 (a tenth of no relief, at least one unit): 1 tall.
  const CPLJSONObject position = glb.json.GetArray("accessors")[glb.Attribute("POSITION")];
  EXPECT_EQ(position.GetArray("max")[1].ToDouble() - position.GetArray("min")[1].ToDouble(), 1);
}

}  // namespace
