// The exported files read back with small readers: the drawn mesh's vertices, triangles,
// winding and texture coordinates, closed solids with a base, and refused writes.
//
//   Readers          - Slurp, ReadStl, ReadPly, ReadObj
//   Fixture, grids   - a folder per test, LakeGrid, Build, Export, Expected
//   The surface      - vertices, triangles and winding; metres; OBJ texture and .mtl
//   Solids           - ExpectClosed; the base under STL, PLY and OBJ; the fan bottom
//   Refused writes   - nothing left behind, nothing replaced
//   Models to print  - ExpectSolid; random grids with holes in every mesh mode; size, z up, base
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "MeshBuild.h"
#include "MeshExport.h"
#include "MesherReference.h"
#include "PrintMesh.h"

namespace fs = std::filesystem;

namespace {

using mesher_test::ScopedGrid;
using P3 = std::array<float, 3>;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every triangle of a binary STL as its three corners; the declared count must match the size.
std::vector<std::array<P3, 3>> ReadStl(const fs::path& path) {
  const std::string bytes = Slurp(path);
  uint32_t count = 0;
  memcpy(&count, bytes.data() + 80, 4);
  EXPECT_EQ(bytes.size(), 84 + 50 * static_cast<size_t>(count));
  std::vector<std::array<P3, 3>> out(count);
  for (uint32_t t = 0; t < count; ++t) memcpy(out[t].data(), bytes.data() + 84 + 50 * t + 12, 36);
  return out;
}

struct Ply {
  std::vector<P3> vertices;
  std::vector<uint32_t> indices;  // three per face
};

Ply ReadPly(const fs::path& path) {
  const std::string bytes = Slurp(path);
  const size_t body = bytes.find("end_header\n") + 11;
  std::istringstream header(bytes.substr(0, body));
  Ply ply;
  size_t vertices = 0, faces = 0;
  for (std::string line; std::getline(header, line);) {
    if (line.rfind("element vertex ", 0) == 0) vertices = std::stoul(line.substr(15));
    if (line.rfind("element face ", 0) == 0) faces = std::stoul(line.substr(13));
  }
  EXPECT_EQ(bytes.size(), body + 12 * vertices + 13 * faces);
  ply.vertices.resize(vertices);
  memcpy(ply.vertices.data(), bytes.data() + body, 12 * vertices);
  for (size_t f = 0; f < faces; ++f) {
    const char* record = bytes.data() + body + 12 * vertices + 13 * f;
    EXPECT_EQ(record[0], 3);
    int32_t corners[3];
    memcpy(corners, record + 1, 12);
    for (int32_t c : corners) ply.indices.push_back(static_cast<uint32_t>(c));
  }
  return ply;
}

struct Obj {
  std::vector<P3> v, vn;
  std::vector<std::array<float, 2>> vt;
  std::vector<uint32_t> indices;  // zero-based, after checking that v and vt agree
  std::vector<uint32_t> normals;  // zero-based, three per face
  std::string material;
};

Obj ReadObj(const fs::path& path) {
  std::ifstream in(path);
  Obj obj;
  for (std::string line; std::getline(in, line);) {
    std::istringstream s(line);
    std::string tag;
    s >> tag;
    if (tag == "v" || tag == "vn") {
      P3 p;
      s >> p[0] >> p[1] >> p[2];
      (tag == "v" ? obj.v : obj.vn).push_back(p);
    } else if (tag == "vt") {
      std::array<float, 2> t;
      s >> t[0] >> t[1];
      obj.vt.push_back(t);
    } else if (tag == "f") {
      for (int k = 0; k < 3; ++k) {
        uint32_t a, b, c;
        char slash1, slash2;
        s >> a >> slash1 >> b >> slash2 >> c;
        EXPECT_EQ(a, b) << line;
        obj.indices.push_back(a - 1);
        obj.normals.push_back(c - 1);
      }
    } else if (tag == "mtllib") {
      s >> obj.material;
    }
  }
  return obj;
}

// A folder of its own under the build tree, removed afterwards.
class MeshExport : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(GENERATED_DATA_DIR) / ("export_test_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string At(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  fs::path dir_;
};

// Hills with a NODATA lake in the middle: holes, an outline with an inner loop.
void LakeGrid(ScopedGrid& grid, int rows, int cols) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) grid.at(c, r) = (r * 37 + c * 53) % 90 - 4 * c;
  for (int r = 5; r <= 7; ++r)
    for (int c = 4; c <= 8; ++c) grid.at(c, r) = -9999;
  input.has_nodata = true;
  input.nodata = -9999;
}

IndexedMesh Build(int mode, int precision, int adaptive) {
  mesh_mode = mode;
  max_precision = precision;
  mesh_simplification = adaptive;
  max_approx_error = 5;
  Viewer.CalcNormales();
  return mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
}

// Writes with the loaded grid and its normals: "" once written, otherwise the reason.
std::string Export(const IndexedMesh& m, const DrawScales& scales, const std::string& path,
                   const mesh_export::Options& options = {}, mesh_export::Written* written = nullptr) {
  const Status status = mesh_export::Write(m, input, normales, scales, path, options, written);
  return status.ok() ? "" : status.reason();
}

DrawScales Scales() {
  DrawScales s;
  s.column = 3;
  s.row = 5;
  s.height = 2;
  return s;
}

// Where the point of vertex record i is drawn at Scales(), from the grid itself.
P3 Expected(const IndexedMesh& m, uint32_t i) {
  const IndexedMesh::Point p = m.points.at(i);
  return {3.0f * p.x, 2.0f * input.values[p.z][p.x], 5.0f * p.z};
}

// y of (b - a) x (c - a): positive for a triangle turning counter-clockwise seen from above.
double UpTurn(const P3& a, const P3& b, const P3& c) {
  return double(b[2] - a[2]) * (c[0] - a[0]) - double(b[0] - a[0]) * (c[2] - a[2]);
}

TEST_F(MeshExport, FilesHoldTheDrawnVerticesAndTrianglesTurningUp) {
  ScopedGrid grid(13, 15);
  LakeGrid(grid, 13, 15);
  for (int mode : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    const IndexedMesh m = Build(mode, mode == 0 ? 4 : 9, 0);
    ASSERT_GT(m.indices.size(), 300u);
    // 15 x 13 is not 2^k + 1 wide: the fills are part of the files.
    if (mode == 1) {
      EXPECT_GT(m.crack_fills, 0);
    }
    const std::string name = "m" + std::to_string(mode);
    ASSERT_EQ(Export(m, Scales(), At(name + ".ply")), "");
    ASSERT_EQ(Export(m, Scales(), At(name + ".stl")), "");

    const Ply ply = ReadPly(At(name + ".ply"));
    ASSERT_EQ(ply.vertices.size(), m.points.size());
    EXPECT_EQ(ply.indices, m.indices);
    for (uint32_t i = 0; i < m.points.size(); ++i) ASSERT_EQ(ply.vertices[i], Expected(m, i)) << i;

    const auto stl = ReadStl(At(name + ".stl"));
    ASSERT_EQ(stl.size(), m.indices.size() / 3);
    for (size_t t = 0; t < stl.size(); ++t) {
      for (int k = 0; k < 3; ++k) ASSERT_EQ(stl[t][k], Expected(m, m.indices[3 * t + k])) << t;
      // The mesh's own triangles all face up; fills may stand upright in the plan.
      // Bisection's rounded split points can leave a triangle upright in the plan.
      const double turn = UpTurn(stl[t][0], stl[t][1], stl[t][2]);
      if (mode == 0) {
        ASSERT_GT(turn, 0) << t;
      } else {
        ASSERT_GE(turn, 0) << t;
      }
    }
  }
}

// A grid read at 100 units a metre is written in metres, fractions and signs exact.
TEST_F(MeshExport, FinerUnitsAreWrittenInMetres) {
  ScopedGrid grid(13, 15);
  LakeGrid(grid, 13, 15);
  const IndexedMesh m = Build(0, 4, 0);
  mesh_export::Options options;
  options.units_per_metre = 100;
  ASSERT_EQ(Export(m, Scales(), At("cm.obj"), options), "");
  ASSERT_EQ(Export(m, Scales(), At("cm.ply"), options), "");
  const Obj obj = ReadObj(At("cm.obj"));
  const Ply ply = ReadPly(At("cm.ply"));
  ASSERT_EQ(obj.v.size(), m.points.size());
  for (uint32_t i = 0; i < m.points.size(); ++i) {
    const P3 e = Expected(m, i);
    for (int k = 0; k < 3; ++k) {
      ASSERT_EQ(obj.v[i][k], static_cast<float>(std::stod(std::to_string(static_cast<int>(e[k]))) / 100)) << i;
      ASSERT_FLOAT_EQ(ply.vertices[i][k], e[k] / 100) << i;
    }
  }
  // "v 0 -0.08 0"-style lines: a lone fraction keeps its sign and leading zero.
  const std::string text = Slurp(At("cm.obj"));
  EXPECT_EQ(text.find(" -."), std::string::npos);
  EXPECT_EQ(text.find(".0 "), std::string::npos);
}

TEST_F(MeshExport, ObjSharesVerticesWithTheDrawnTextureCoordinatesAndNamesTheTexture) {
  ScopedGrid grid(9, 12);
  LakeGrid(grid, 9, 12);
  const IndexedMesh m = Build(0, 4, 0);
  mesh_export::Options options;
  // Named from the .mtl's folder, however the texture was given: the two move together.
  options.texture = At("maps/relief.png");
  ASSERT_EQ(Export(m, Scales(), At("t.obj"), options), "");
  EXPECT_EQ(Files(), (std::vector<std::string>{"t.mtl", "t.obj"}));
  EXPECT_EQ(Slurp(At("t.mtl")), "newmtl terrain\nKa 1 1 1\nKd 1 1 1\nmap_Kd maps/relief.png\n");

  const Obj obj = ReadObj(At("t.obj"));
  EXPECT_EQ(obj.material, "t.mtl");
  ASSERT_EQ(obj.v.size(), m.points.size());
  ASSERT_EQ(obj.vt.size(), m.points.size());
  ASSERT_EQ(obj.vn.size(), m.points.size());
  EXPECT_EQ(obj.indices, m.indices);
  EXPECT_EQ(obj.normals, m.indices);
  for (uint32_t i = 0; i < m.points.size(); ++i) {
    EXPECT_EQ(obj.v[i], Expected(m, i));
    // The drawing's s = column / cols, t = row / rows with t = 0 on the image's top row;
    // an OBJ counts v from the bottom.
    // The file holds seven decimals.
    EXPECT_NEAR(obj.vt[i][0], m.points[i].x / 12.0, 1e-7);
    EXPECT_NEAR(1 - obj.vt[i][1], m.points[i].z / 9.0, 1.5e-7);
    const P3& n = obj.vn[i];
    EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1, 1e-5);
    EXPECT_GT(n[1], 0);
  }
  // Without a texture there is no .mtl and no reference to one.
  ASSERT_EQ(Export(m, Scales(), At("plain.obj")), "");
  EXPECT_EQ(ReadObj(At("plain.obj")).material, "");
  EXPECT_FALSE(fs::exists(At("plain.mtl")));
}

// Edges keyed by their corners' exact positions: STL has no shared vertices.
using Edge = std::pair<P3, P3>;

// Every edge of a watertight solid is walked once each way. Bisection's fills meet some
// edges four times (two vertical hinges side by side), and an adaptive quad mesh's
// T-junctions get walls of their own; such a solid is still closed when each edge is
// walked as often one way as the other.
void ExpectClosed(const std::vector<std::array<P3, 3>>& triangles, bool manifold) {
  std::map<Edge, int> walked;
  for (const auto& t : triangles)
    for (int k = 0; k < 3; ++k) ++walked[{t[k], t[(k + 1) % 3]}];
  int bad = 0;
  for (const auto& [edge, count] : walked) {
    const auto back = walked.find({edge.second, edge.first});
    const int back_count = back == walked.end() ? 0 : back->second;
    if (manifold ? count != 1 || back_count != 1 : count != back_count) ++bad;
  }
  EXPECT_EQ(bad, 0) << "of " << walked.size() << " directed edges";
}

TEST_F(MeshExport, BaseMakesStlAndPlyClosedSolidsWithAFlatBottom) {
  ScopedGrid grid(13, 15);
  LakeGrid(grid, 13, 15);
  struct Case {
    int mode, precision, adaptive;
  } cases[] = {{0, 4, 0}, {0, 3, 0}, {1, 9, 0}, {1, 12, 1}, {0, 4, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " adaptive " << c.adaptive);
    const IndexedMesh m = Build(c.mode, c.precision, c.adaptive);
    const std::string name = "s" + std::to_string(c.mode) + std::to_string(c.precision) + std::to_string(c.adaptive);
    mesh_export::Options options;
    options.base = true;
    mesh_export::Written stl_counts, ply_counts, obj_counts;
    ASSERT_EQ(Export(m, Scales(), At(name + ".stl"), options, &stl_counts), "");
    ASSERT_EQ(Export(m, Scales(), At(name + ".ply"), options, &ply_counts), "");
    ASSERT_EQ(Export(m, Scales(), At(name + ".obj"), options, &obj_counts), "");

    const auto stl = ReadStl(At(name + ".stl"));
    ExpectClosed(stl, c.mode == 0 && !c.adaptive);
    // The lowest drawn height is 2 * (0 - 4 * 14) = -112 near the east edge, the highest
    // under 2 * 90: the bottom lies a tenth of the relief below.
    float lowest = 1e9f;
    for (uint32_t i = 0; i < m.points.size(); ++i) lowest = std::min(lowest, Expected(m, i)[1]);
    float highest = -1e9f;
    for (uint32_t i = 0; i < m.points.size(); ++i) highest = std::max(highest, Expected(m, i)[1]);
    const float bottom = std::floor(lowest - (highest - lowest) / 10);
    size_t on_bottom = 0;
    for (const auto& t : stl) on_bottom += t[0][1] == bottom && t[1][1] == bottom && t[2][1] == bottom;
    EXPECT_EQ(on_bottom, m.indices.size() / 3);

    const Ply ply = ReadPly(At(name + ".ply"));
    ASSERT_EQ(ply.vertices.size(), 2 * m.points.size());
    ASSERT_EQ(ply.indices.size() / 3, stl.size());
    std::vector<std::array<P3, 3>> faces;
    for (size_t k = 0; k < ply.indices.size(); k += 3)
      faces.push_back({ply.vertices.at(ply.indices[k]), ply.vertices.at(ply.indices[k + 1]),
                       ply.vertices.at(ply.indices[k + 2])});
    EXPECT_EQ(faces, stl);
    // The counts said are those written, base included.
    EXPECT_EQ(stl_counts.triangles, stl.size());
    EXPECT_EQ(ply_counts.triangles, stl.size());
    EXPECT_EQ(ply_counts.vertices, ply.vertices.size());

    // The OBJ holds the same solid. The bottom's normal points down (bisection's fills may
    // turn the other way in the plan, but lie inside the bottom), and each wall's is its
    // triangles' own (b - a) x (c - a): on a closed solid whose top faces up, outward.
    const Obj obj = ReadObj(At(name + ".obj"));
    ASSERT_EQ(obj.v.size(), ply.vertices.size());
    EXPECT_EQ(obj.vt.size(), obj.v.size());
    EXPECT_EQ(obj.indices, ply.indices);
    EXPECT_EQ(obj_counts.triangles, stl.size());
    EXPECT_EQ(obj_counts.vertices, obj.v.size());
    const size_t top = m.indices.size();
    EXPECT_EQ(std::vector<uint32_t>(obj.normals.begin(), obj.normals.begin() + top),
              std::vector<uint32_t>(obj.indices.begin(), obj.indices.begin() + top));
    for (size_t k = top; k < obj.indices.size(); k += 3) {
      const P3 &a = obj.v[obj.indices[k]], &b = obj.v[obj.indices[k + 1]], &c = obj.v[obj.indices[k + 2]];
      const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      const double cross[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
      const double length = std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
      const P3& n = obj.vn.at(obj.normals[k]);
      if (a[1] == bottom && b[1] == bottom && c[1] == bottom) {
        ASSERT_EQ(n, (P3{0, -1, 0})) << k;
        continue;
      }
      ASSERT_GT(length, 0) << k;
      for (int i = 0; i < 3; ++i) ASSERT_NEAR(n[i], cross[i] / length, 1e-6) << k;
    }
  }
}

// Without holes the outline is one loop, and the bottom is a fan from its middle: one
// triangle an outline edge instead of the whole mesh once more, still closed and simple.
TEST_F(MeshExport, BaseOfAGridWithoutHolesIsAFanUnderTheOutline) {
  ScopedGrid grid(9, 13);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 13; ++c) grid.at(c, r) = (r * 37 + c * 53) % 90;
  const IndexedMesh m = Build(0, 4, 0);
  mesh_export::Options options;
  options.base = true;
  ASSERT_EQ(Export(m, Scales(), At("fan.stl"), options), "");
  ASSERT_EQ(Export(m, Scales(), At("fan.ply"), options), "");
  const auto stl = ReadStl(At("fan.stl"));
  ExpectClosed(stl, true);
  // Cells of one unit (13 columns take 16 at precision 4): 12 + 8 + 12 + 8 outline edges,
  // each with a fan triangle and two wall triangles under the 2 x 12 x 8 of the surface.
  const size_t outline = 40;
  ASSERT_EQ(m.indices.size() / 3, 192u);
  EXPECT_EQ(stl.size(), 192 + 3 * outline);
  const Ply ply = ReadPly(At("fan.ply"));
  EXPECT_EQ(ply.vertices.size(), 2 * m.points.size() + 1);
  EXPECT_EQ(ply.indices.size() / 3, stl.size());
}

TEST_F(MeshExport, RefusedWritesLeaveNothingBehindAndReplaceNothing) {
  ScopedGrid grid(9, 9);
  LakeGrid(grid, 9, 9);
  const IndexedMesh m = Build(0, 3, 0);

  // A folder that cannot hold files: its parent is a plain file.
  std::ofstream(At("plain")) << "x";
  EXPECT_EQ(Export(m, Scales(), At("plain/m.stl")),
            "Cannot write " + At("plain/m.stl") + ": Not a directory.");
  EXPECT_EQ(Export(m, Scales(), At("m.dae")),
            "Cannot write " + At("m.dae") + ": the name must end in .obj, .stl, .ply or .glb.");

  std::ofstream(At("old.ply")) << "keep";
  EXPECT_EQ(Export(m, Scales(), At("old.ply")), At("old.ply") + " exists already; it is left as it was.");
  EXPECT_EQ(Slurp(At("old.ply")), "keep");

  // A mesh whose .mtl name is taken is not written either.
  std::ofstream(At("tex.mtl")) << "mine";
  mesh_export::Options options;
  options.texture = "a.png";
  EXPECT_EQ(Export(m, Scales(), At("tex.obj"), options),
            At("tex.mtl") + " exists already; it is left as it was.");
  EXPECT_EQ(Slurp(At("tex.mtl")), "mine");
  // Nor is one whose own name is taken, and its .mtl, written first, goes again.
  std::ofstream(At("taken.obj")) << "mine";
  EXPECT_EQ(Export(m, Scales(), At("taken.obj"), options), At("taken.obj") + " exists already; it is left as it was.");
  EXPECT_EQ(Slurp(At("taken.obj")), "mine");

  // The longest legal name (254 bytes) leaves no room for a suffix on its temporary name.
  const std::string longest = std::string(250, 'm') + ".stl";
  EXPECT_EQ(Export(m, Scales(), At(longest)), "");
  ASSERT_EQ(std::filesystem::remove(At(longest)), true);

  EXPECT_EQ(Export(IndexedMesh{}, Scales(), At("empty.stl")),
            "Cannot write " + At("empty.stl") + ": the mesh has no triangles.");
  // An X-Z-Multiplier of 0 flattens the mesh to a line; a height scale of 0 is a flat
  // mesh and is written.
  DrawScales line = Scales();
  line.column = line.row = 0;
  for (const char* name : {"line.stl", "line.obj"})
    EXPECT_EQ(Export(m, line, At(name)), "Cannot write " + At(name) + ": at this X-Z-Multiplier the mesh has no area.");
  DrawScales flat = Scales();
  flat.height = 0;
  EXPECT_EQ(Export(m, flat, At("flat.ply")), "");
  fs::remove(At("flat.ply"));
  EXPECT_EQ(Files(), (std::vector<std::string>{"old.ply", "plain", "taken.obj", "tex.mtl"}));  // no temporaries
}

// A closed, simple solid as a slicer welds it: after joining equal positions, every edge
// is walked once each way, no triangle is flat, and each connected part encloses a
// positive volume (the divergence theorem: the sum of a . (b x c) / 6).
void ExpectSolid(const std::vector<std::array<P3, 3>>& triangles) {
  std::map<P3, uint32_t> welded;
  std::vector<std::array<uint32_t, 3>> faces;
  for (const auto& t : triangles) {
    std::array<uint32_t, 3> f;
    for (int k = 0; k < 3; ++k) f[k] = welded.emplace(t[k], static_cast<uint32_t>(welded.size())).first->second;
    faces.push_back(f);
  }
  std::map<std::pair<uint32_t, uint32_t>, int> walked;
  std::vector<uint32_t> part(welded.size());
  std::iota(part.begin(), part.end(), 0);
  const auto root = [&](uint32_t v) {
    while (part[v] != v) v = part[v] = part[part[v]];
    return v;
  };
  int flat = 0;
  for (size_t i = 0; i < faces.size(); ++i) {
    const auto& t = triangles[i];
    const double u[3] = {t[1][0] - t[0][0], t[1][1] - t[0][1], t[1][2] - t[0][2]};
    const double w[3] = {t[2][0] - t[0][0], t[2][1] - t[0][1], t[2][2] - t[0][2]};
    flat += u[1] * w[2] - u[2] * w[1] == 0 && u[2] * w[0] - u[0] * w[2] == 0 && u[0] * w[1] - u[1] * w[0] == 0;
    for (int k = 0; k < 3; ++k) {
      ++walked[{faces[i][k], faces[i][(k + 1) % 3]}];
      part[root(faces[i][k])] = root(faces[i][(k + 1) % 3]);
    }
  }
  EXPECT_EQ(flat, 0);
  int bad = 0;
  for (const auto& [edge, count] : walked) {
    const auto back = walked.find({edge.second, edge.first});
    bad += count != 1 || back == walked.end() || back->second != 1;
  }
  EXPECT_EQ(bad, 0) << "of " << walked.size() << " directed edges";
  std::map<uint32_t, double> volume;
  for (size_t i = 0; i < faces.size(); ++i) {
    const auto& [a, b, c] = triangles[i];
    volume[root(faces[i][0])] += (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
                                  double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                                  double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) / 6;
  }
  for (const auto& [p, v] : volume) EXPECT_GT(v, 0) << "part " << p;
}

std::vector<std::array<P3, 3>> TrianglesOf(const Ply& ply) {
  std::vector<std::array<P3, 3>> out;
  for (size_t k = 0; k + 2 < ply.indices.size(); k += 3)
    out.push_back({ply.vertices.at(ply.indices[k]), ply.vertices.at(ply.indices[k + 1]),
                   ply.vertices.at(ply.indices[k + 2])});
  return out;
}

// "v x y z", "vt s t" and "f a b c" or "f a/a b/b c/c" lines, as a model to print is
// written in OBJ; the texture coordinates in `texture`.
Ply ReadPrintObj(const fs::path& path, std::vector<std::array<float, 2>>* texture = nullptr) {
  std::ifstream in(path);
  Ply obj;
  for (std::string line; std::getline(in, line);) {
    std::istringstream s(line);
    std::string tag;
    s >> tag;
    if (tag == "v") obj.vertices.push_back({}), s >> obj.vertices.back()[0] >> obj.vertices.back()[1] >> obj.vertices.back()[2];
    if (tag == "vt" && texture != nullptr) texture->push_back({}), s >> texture->back()[0] >> texture->back()[1];
    for (std::string corner; tag == "f" && s >> corner;) {
      const size_t slash = corner.find('/');
      obj.indices.push_back(std::stoul(corner.substr(0, slash)) - 1);
      if (slash != std::string::npos) {
        EXPECT_EQ(corner.substr(slash + 1), corner.substr(0, slash));
      }
    }
  }
  return obj;
}

// Random rough grids with NODATA blobs, and holes that meet at one point, written in every
// mesh mode as a model to print.
TEST_F(MeshExport, ModelsToPrintAreClosedSolidsInEveryMeshMode) {
  std::mt19937 random(17);
  for (int round = 0; round < 6; ++round) {
    const int rows = 12 + static_cast<int>(random() % 30), cols = 12 + static_cast<int>(random() % 30);
    ScopedGrid grid(rows, cols);
    const double fr = 0.1 + (random() % 100) / 300.0, fc = 0.1 + (random() % 100) / 300.0;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        grid.at(c, r) = static_cast<int>(60 * std::sin(r * fr) * std::cos(c * fc)) + static_cast<int>(random() % 9);
    input.has_nodata = true;
    input.nodata = -9999;
    for (int blob = 0; blob < 3; ++blob) {
      const int r0 = static_cast<int>(random() % rows), c0 = static_cast<int>(random() % cols);
      const int radius = 1 + static_cast<int>(random() % 4);
      for (int r = std::max(0, r0 - radius); r <= std::min(rows - 1, r0 + radius); ++r)
        for (int c = std::max(0, c0 - radius); c <= std::min(cols - 1, c0 + radius); ++c)
          if ((r - r0) * (r - r0) + (c - c0) * (c - c0) <= radius * radius) grid.at(c, r) = -9999;
    }
    for (int pinch = 0; pinch < 4; ++pinch) {
      const int r = 1 + static_cast<int>(random() % (rows - 4)), c = 1 + static_cast<int>(random() % (cols - 4));
      // NODATA points two steps apart diagonally: their holes touch at the point between;
      // one hole touches the notch of a NODATA point on the border.
      grid.at(c, r) = grid.at(c + 2, r + 2) = -9999;
      if (pinch == 0) grid.at(cols - 2, 0) = grid.at(cols - 4, 2) = -9999;
    }
    for (int mode = 0; mode < 2; ++mode)
      for (int kind = 0; kind < 5; ++kind) {  // uniform, adaptive, adaptive strict, screen, screen strict
        SCOPED_TRACE(testing::Message() << "round " << round << " mode " << mode << " kind " << kind);
        mesh_mode = mode;
        max_precision = mode == 0 ? 5 : 4 + static_cast<int>(random() % 7);  // coarse ones meet the forced splits
        mesh_simplification = kind == 1 || kind == 2;
        strict_error = kind == 2 || kind == 4;
        max_approx_error = 6;
        screen_error = kind >= 3;
        max_screen_error = 1;
        width = 320, height = 240;
        Viewer.cam_x = 0, Viewer.cam_y = 150, Viewer.cam_z = 300;
        Viewer.cam_x_angle = 120, Viewer.cam_y_angle = 0;
        Viewer.CalcNormales();
        const IndexedMesh m = mesh::BuildPrintMesh(input, mesh::CurrentSettings());
        if (m.indices.empty()) continue;
        mesh_export::Options options;
        options.base = true;
        options.print_size_mm = 20 + random() % 200;
        options.base_thickness_mm = 0.5 + (random() % 10) / 4.0;
        const std::string name = "p" + std::to_string(round) + std::to_string(mode) + std::to_string(kind);
        mesh_export::Written stl_counts, ply_counts, obj_counts;
        ASSERT_EQ(Export(m, Scales(), At(name + ".stl"), options, &stl_counts), "");
        ASSERT_EQ(Export(m, Scales(), At(name + ".ply"), options, &ply_counts), "");
        ASSERT_EQ(Export(m, Scales(), At(name + ".obj"), options, &obj_counts), "");
        const auto stl = ReadStl(At(name + ".stl"));
        ExpectSolid(stl);
        const Ply ply = ReadPly(At(name + ".ply"));
        EXPECT_EQ(TrianglesOf(ply), stl);
        const Ply obj = ReadPrintObj(At(name + ".obj"));
        EXPECT_EQ(TrianglesOf(obj), stl);
        EXPECT_EQ(stl_counts.triangles, stl.size());
        EXPECT_EQ(ply_counts.triangles, stl.size());
        EXPECT_EQ(obj_counts.triangles, stl.size());
        EXPECT_EQ(ply_counts.vertices, ply.vertices.size());
        EXPECT_EQ(obj_counts.vertices, obj.vertices.size());
        // The longer side is the size asked; the south-west corner and the bottom at 0; the
        // lowest point of the surface the base's thickness above the bottom.
        float x1 = 0, y1 = 0, lowest = 1e9f;
        P3 low = {1e9f, 1e9f, 1e9f};
        for (const P3& p : ply.vertices) {
          x1 = std::max(x1, p[0]), y1 = std::max(y1, p[1]);
          for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], p[k]);
          if (p[2] > 0) lowest = std::min(lowest, p[2]);
        }
        EXPECT_FLOAT_EQ(std::max(x1, y1), static_cast<float>(options.print_size_mm));
        EXPECT_EQ(low, (P3{0, 0, 0}));
        EXPECT_FLOAT_EQ(lowest, static_cast<float>(options.base_thickness_mm));
      }
  }
}

// Plain bisection's crack fills stand upright in cracks; a solid cannot hold them.
TEST_F(MeshExport, ModelToPrintRefusesAMeshWithCrackFills) {
  ScopedGrid grid(13, 15);
  LakeGrid(grid, 13, 15);
  const IndexedMesh m = Build(1, 9, 0);
  ASSERT_GT(m.crack_fills, 0);
  mesh_export::Options options;
  options.print_size_mm = 50;
  EXPECT_EQ(Export(m, Scales(), At("c.stl"), options),
            "Cannot write " + At("c.stl") + ": a model to print needs a mesh without cracks.");
  EXPECT_EQ(Files(), std::vector<std::string>{});
}

// The bisection of a square of side 4: its centre, its sides' midpoints, the centres of
// its quarters, their sides' midpoints.
TEST(PrintMesh, SplitDepthCountsBisectionsFromTheSquare) {
  EXPECT_EQ(mesh::SplitDepth(4, 2, 2), 0);
  for (const auto& [x, z] : {std::pair{2, 0}, {4, 2}, {2, 4}, {0, 2}}) EXPECT_EQ(mesh::SplitDepth(4, x, z), 1);
  for (const auto& [x, z] : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}}) EXPECT_EQ(mesh::SplitDepth(4, x, z), 2);
  for (const auto& [x, z] : {std::pair{1, 0}, {2, 1}, {4, 3}, {3, 4}, {0, 1}}) EXPECT_EQ(mesh::SplitDepth(4, x, z), 3);
  EXPECT_EQ(mesh::SplitDepth(1024, 512, 256), 3);
}

// On a grid 2^k + 1 points wide plain bisection rounds nothing: the uniform mesh to print
// is the drawn one.
TEST(PrintMesh, UniformTrianglesToPrintAreTheDrawnOnesOnAPowerOfTwoGrid) {
  ScopedGrid grid(65, 65);
  for (int r = 0; r < 65; ++r)
    for (int c = 0; c < 65; ++c) grid.at(c, r) = (r * 37 + c * 53) % 90;
  mesh_mode = 1;
  max_precision = 7;
  const IndexedMesh drawn = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  const IndexedMesh printed = mesh::BuildPrintMesh(input, mesh::CurrentSettings());
  ASSERT_EQ(drawn.crack_fills, 0);
  ASSERT_EQ(drawn.indices.size(), 3u * 256);
  EXPECT_EQ(printed.indices.size(), drawn.indices.size());
  EXPECT_EQ(printed.points.size(), drawn.points.size());
}

// A plane rising to the east and to the north: z up, y north, heights to the extent's scale.
TEST_F(MeshExport, ModelToPrintStandsZUpWithNorthAlongY) {
  const int rows = 11, cols = 21;
  ScopedGrid grid(rows, cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) grid.at(c, r) = 3 * c + 5 * (rows - 1 - r);
  const IndexedMesh m = Build(0, 5, 0);
  mesh_export::Options options;
  options.print_size_mm = 96;  // the longer side: 20 columns of 3 (10 rows of 5 are 50)
  options.base = true;
  options.base_thickness_mm = 1.5;
  ASSERT_EQ(Export(m, Scales(), At("plane.ply"), options), "");
  const Ply ply = ReadPly(At("plane.ply"));
  // At 1.6 mm a drawn unit, (column, row) lies at x = 4.8 column, y = 8 (10 - row), its
  // drawn height 2 (3 column + 5 (10 - row)) at z = 1.5 + 3.2 (x + y) / 1.6.
  size_t top = 0;
  for (const P3& p : ply.vertices) {
    if (p[2] == 0) continue;
    ++top;
    EXPECT_NEAR(p[2], 1.5 + 2 * (p[0] + p[1]), 1e-4) << p[0] << " " << p[1];
  }
  EXPECT_EQ(top, m.points.size());
  // Each point of an OBJ takes the drape's coordinates of the grid point it is or stands
  // under (s = column / 21, t from the image's foot: 1 - row / 11); the fan's middle 0.5.
  options.texture = "drape.png";
  ASSERT_EQ(Export(m, Scales(), At("plane.obj"), options), "");
  std::vector<std::array<float, 2>> vt;
  const Ply obj = ReadPrintObj(At("plane.obj"), &vt);
  ASSERT_EQ(vt.size(), obj.vertices.size());
  EXPECT_EQ(obj.indices, ply.indices);
  int middles = 0;
  for (size_t i = 0; i < vt.size(); ++i) {
    const P3& p = obj.vertices[i];
    if (vt[i] == std::array<float, 2>{0.5f, 0.5f} && p[2] == 0 && ++middles == 1) continue;
    EXPECT_NEAR(vt[i][0], p[0] / 4.8 / 21, 1e-6) << i;
    EXPECT_NEAR(1 - vt[i][1], (10 - p[1] / 8) / 11, 1e-6) << i;
  }
  EXPECT_EQ(middles, 1);
  options.texture.clear();
  // Without a base, the surface alone with its lowest point at 0.
  options.base = false;
  ASSERT_EQ(Export(m, Scales(), At("open.stl"), options), "");
  const auto stl = ReadStl(At("open.stl"));
  ASSERT_EQ(stl.size(), m.indices.size() / 3);
  bool origin = false;
  for (const auto& t : stl)
    for (const P3& p : t) {
      origin |= p == P3{0, 0, 0};
      ASSERT_NEAR(p[2], 2 * (p[0] + p[1]), 1e-4);
    }
  EXPECT_TRUE(origin);
}

}  // namespace
