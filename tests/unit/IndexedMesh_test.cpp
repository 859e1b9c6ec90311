// The mesh as drawn (records and indices) against the plain pass-by-pass meshers, and the
// console and overlay lines of a limited build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ChildProcess.h"
#include "FrameStats.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "MeshWorker.h"
#include "MesherReference.h"
#include "TerrainLoader.h"

namespace {

using mesher_test::ScopedGrid;
using mesher_test::Tri;

// The grid points a drawn mesh sends for its own triangles, three each, as "column,row".
std::vector<std::pair<int, int>> DrawnCorners(const IndexedMesh& m) {
  std::vector<std::pair<int, int>> out;
  for (size_t k = 0; k + 3 * m.crack_fills < m.indices.size(); ++k)
    out.push_back({m.points.at(m.indices[k]).x, m.points.at(m.indices[k]).z});
  return out;
}

// Corners a, c, b of every triangle with area, in list order.
std::vector<std::pair<int, int>> ExpectedCorners(const std::vector<Tri>& list) {
  std::vector<std::pair<int, int>> out;
  for (const Tri& t : list) {
    const auto same = [](const Vertex& p, const Vertex& q) { return p.x == q.x && p.z == q.z; };
    if (same(t.a, t.b) || same(t.b, t.c) || same(t.c, t.a)) continue;
    for (const Vertex* v : {&t.a, &t.c, &t.b}) out.push_back({v->x, v->z});
  }
  return out;
}

// 13 x 11 is not 2^k + 1 wide: the clamped last row and column give triangles without area.
void Hills(ScopedGrid& grid, int rows, int cols) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) grid.at(c, r) = (r * 37 + c * 53) % 90 - 4 * c;
}

TEST(IndexedMesh, SendsTheTrianglesOfBothMeshersInListOrderAndCountsTheFlatOnes) {
  ScopedGrid grid(13, 11);
  Hills(grid, 13, 11);
  for (int mode : {0, 1})
    for (int adaptive : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " adaptive " << adaptive);
      mesh_mode = mode;
      mesh_simplification = adaptive;
      max_precision = mode == 0 ? 4 : 9;
      max_approx_error = 5;
      const std::vector<Tri> reference =
          mode == 0 ? mesher_test::ReferenceQuadMesh() : mesher_test::ReferenceTriangleMesh();
      const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
      EXPECT_EQ(m.triangle_count, static_cast<long long>(reference.size()));
      EXPECT_EQ(DrawnCorners(m), ExpectedCorners(reference));
      if (adaptive == 0) {
        EXPECT_LT(m.indices.size(), 3 * reference.size());  // the flat ones are left out
      }
      EXPECT_LE(m.points.size(), 13u * 11u);               // one record per point used
      EXPECT_EQ(m.level, max_precision);
    }
}

// A NODATA lake is a hole in the drawn mesh, but its triangles still count; with the cells
// shown, the mesh is the one the same heights give in a grid without a NODATA value.
TEST(IndexedMesh, LeavesTrianglesOnNoDataOutAndStillCountsThem) {
  ScopedGrid grid(9, 9, 100);
  for (int r = 3; r <= 4; ++r)
    for (int c = 2; c <= 5; ++c) grid.at(c, r) = -9999;
  for (int mode : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    mesh_mode = mode;
    max_precision = mode == 0 ? 3 : 6;  // every grid cell in two triangles
    input.has_nodata = false;
    const std::vector<Tri> reference =
        mode == 0 ? mesher_test::ReferenceQuadMesh() : mesher_test::ReferenceTriangleMesh();
    ASSERT_EQ(reference.size(), 128u);
    std::vector<Tri> dry;
    for (const Tri& t : reference)
      if (t.a.y != -9999 && t.b.y != -9999 && t.c.y != -9999) dry.push_back(t);
    // 15 grid cells touch the lake; each loses one or both triangles.
    EXPECT_GE(dry.size(), 128u - 30u);
    EXPECT_LE(dry.size(), 128u - 15u);

    mesh::Settings s = mesh::CurrentSettings();
    const IndexedMesh plain = mesh::BuildIndexedMesh(input, s);
    input.has_nodata = true;
    input.nodata = -9999;
    const IndexedMesh holes = mesh::BuildIndexedMesh(input, s);
    s.show_nodata = true;
    const IndexedMesh shown = mesh::BuildIndexedMesh(input, s);

    EXPECT_EQ(holes.triangle_count, 128);
    EXPECT_EQ(shown.triangle_count, 128);
    EXPECT_EQ(DrawnCorners(holes), ExpectedCorners(dry));
    EXPECT_EQ(DrawnCorners(shown), ExpectedCorners(reference));
    EXPECT_EQ(DrawnCorners(plain), ExpectedCorners(reference));
    EXPECT_FALSE(holes.shows_nodata);
    EXPECT_TRUE(shown.shows_nodata);
    for (const IndexedMesh::Point& p : holes.points) EXPECT_NE(input.values[p.z][p.x], -9999);
  }
}

// Edges of the drawn triangles, crack fills included, that are not walked as often one way
// as the other, leaving out those along the grid's border: none on a surface without cracks.
int OpenEdges(const IndexedMesh& m, int rows, int cols) {
  std::map<std::pair<int, int>, int> walked;  // grid indices, least first: +1 that way, -1 back
  for (size_t t = 0; t < m.indices.size(); t += 3)
    for (int e = 0; e < 3; ++e) {
      const IndexedMesh::Point p = m.points.at(m.indices[t + e]), q = m.points.at(m.indices[t + (e + 1) % 3]);
      const bool border = (p.x == q.x && (p.x == 0 || p.x == cols - 1)) || (p.z == q.z && (p.z == 0 || p.z == rows - 1));
      const int i = p.z * cols + p.x, j = q.z * cols + q.x;
      if (!border) walked[{std::min(i, j), std::max(i, j)}] += i < j ? 1 : -1;
    }
  return static_cast<int>(std::count_if(walked.begin(), walked.end(), [](const auto& e) { return e.second != 0; }));
}

// Rounded split points that neighbours do not share (uniform on grids not 2^k + 1 wide)
// and edges split on one side only (adaptive) leave cracks; the fills close every one.
TEST(IndexedMesh, TriangleMeshesAreClosedByTheirCrackFills) {
  struct Case {
    int rows, cols, precision, adaptive;
    long long fills;
  } cases[] = {{17, 17, 8, 0, 0}, {13, 11, 9, 0, 48}, {17, 17, 12, 1, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " x " << c.cols << " adaptive " << c.adaptive);
    ScopedGrid grid(c.rows, c.cols);
    if (c.adaptive) {  // one smooth hill, 200 high
      for (int r = 0; r < c.rows; ++r)
        for (int k = 0; k < c.cols; ++k)
          grid.at(k, r) = static_cast<int>(200 * std::exp(-((r - 17 / 3.0) * (r - 17 / 3.0) + (k - 4.25) * (k - 4.25)) / 20));
    } else {
      Hills(grid, c.rows, c.cols);
    }
    mesh_mode = 1;
    mesh_simplification = c.adaptive;
    max_precision = c.precision;
    max_approx_error = 10;
    const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
    EXPECT_EQ(m.crack_fills, c.fills);
    EXPECT_EQ(OpenEdges(m, c.rows, c.cols), 0);
  }
  ScopedGrid sample(1, 1);
  FreeGrid(input.values, input.rows);  // the loader puts its grid in place without releasing this one
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc"));
  sample.UseWholeGrid();
  mesh_mode = 1;
  mesh_simplification = 0;
  for (int precision = 8; precision <= 14; ++precision) {
    max_precision = precision;
    const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
    EXPECT_EQ(OpenEdges(m, 344, 403), 0) << "precision " << precision;
  }
}

TEST(IndexedMesh, BudgetStopsAtTheLastLevelThatFits) {
  ScopedGrid grid(9, 9);
  max_precision = 5;
  mesh_triangle_budget = 600;  // level 4 holds 512 triangles, level 5 holds 2048
  const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  EXPECT_EQ(m.limit_line, "Mesh limited to 512 triangles at precision 4 of 5.");
  EXPECT_EQ(m.triangle_count, 512);
  EXPECT_EQ(m.level, 4);
  EXPECT_EQ(m.precision, 5);
}

// The console names a limit once, when the limited mesh comes on screen: a build that a
// newer request drops after its fill says nothing.
TEST(IndexedMesh, LimitLineIsPrintedOnceWhenTheMeshIsShown) {
  ScopedGrid grid(9, 9);
  max_precision = 5;
  mesh_triangle_budget = 600;  // level 4 holds 512 triangles, level 5 holds 2048
  int asks = 0;  // the last time a build asks is after its fill, before the measurement
  testing::internal::CaptureStdout();
  mesh::BuildIndexedMesh(input, mesh::CurrentSettings(), [&asks] { return ++asks < 0; });
  int asked = 0;
  EXPECT_THROW(mesh::BuildIndexedMesh(input, mesh::CurrentSettings(), [&] { return ++asked == asks; }),
               mesh::Superseded);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  // While the build runs the overlay's count says a new mesh is on its way.
  mesh_builds_in_background = true;
  testing::internal::CaptureStdout();
  refresh_mesh = true;
  const bool taken_at_once = Viewer.UpdateMesh();
  ComposeOverlayText();
  EXPECT_EQ(std::string(text_buffer).find(" (building a new mesh)\n") != std::string::npos, !taken_at_once);
  Viewer.WaitForMesh();
  ComposeOverlayText();
  EXPECT_NE(std::string(text_buffer).find("\nTriangles: 512\n"), std::string::npos);
  Viewer.UpdateMesh();
  mesh_builds_in_background = false;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tMesh limited to 512 triangles at precision 4 of 5.\n\n");
}

// The overlay says so for as long as the limited mesh is on screen.
TEST(IndexedMesh, OverlayNamesTheLimitWhileALimitedMeshIsShown) {
  ScopedGrid grid(9, 9);
  mesh_triangle_budget = 600;
  auto overlay_after_build = [](int precision) {
    max_precision = precision;
    refresh_mesh = true;
    testing::internal::CaptureStdout();
    Viewer.UpdateMesh();
    testing::internal::GetCapturedStdout();
    ComposeOverlayText();
    return std::string(text_buffer);
  };
  EXPECT_NE(overlay_after_build(5).find("\nTriangles: 512\nLimited to precision 4 of 5\nMax. error: "),
            std::string::npos);
  ComposeOverlayText();
  EXPECT_NE(std::string(text_buffer).find("Limited to precision 4 of 5"), std::string::npos);
  EXPECT_EQ(overlay_after_build(4).find("Limited"), std::string::npos);
  // Under a strict bound the precision limits nothing: the budget raised the bound.
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = (c * 37 + r * 11) % 101;
  strict_error = mesh_simplification = 1;
  max_approx_error = 1;
  mesh_triangle_budget = 50;
  max_precision = 5;
  refresh_mesh = true;
  testing::internal::CaptureStdout();
  Viewer.UpdateMesh();
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(console.rfind("\tMesh limited to ", 0), 0u) << console;
  EXPECT_NE(console.find(" triangles by the triangle budget: the error bound is not met.\n\n"), std::string::npos)
      << console;
  ComposeOverlayText();
  EXPECT_NE(std::string(text_buffer).find("\nLimited by the triangle budget: the bound is not met\nMax. error: "),
            std::string::npos);
}

// A grid whose every cell is NODATA has no terrain while its cells are holes: the
// overlay says so, and says nothing once they are shown or one cell holds a height.
TEST(IndexedMesh, OverlaySaysWhenEveryCellIsNoData) {
  ScopedGrid grid(9, 9, -9999);
  input.has_nodata = true;
  input.nodata = -9999;
  auto overlay_after_build = [] {
    refresh_mesh = true;
    Viewer.UpdateMesh();
    ComposeOverlayText();
    return std::string(text_buffer).find("\nEvery cell of the grid is NODATA: there is no terrain to draw.\n");
  };
  EXPECT_NE(overlay_after_build(), std::string::npos);
  show_nodata = 1;
  EXPECT_EQ(overlay_after_build(), std::string::npos);
  show_nodata = 0;
  grid.at(4, 4) = 7;  // a height under no drawn triangle: still no word of an empty grid
  max_precision = 1;
  EXPECT_EQ(overlay_after_build(), std::string::npos);
  EXPECT_TRUE(Viewer.DrawnMesh().indices.empty());
}

#ifndef SANITIZED_BUILD
// When the strict error hierarchy does not fit into memory, both meshers build the mesh
// with Strict Error off, and the console and the overlay say so. The build runs in a fresh
// copy of this program (memory freed by earlier tests would blur the cap) capped 24 MB
// above its size: the 2049 x 2049 grid's point table takes 16 MB, either hierarchy more
// than the 8 MB left, the plain adaptive mesh little.
constexpr const char* kCappedStrictVariable = "INDEXED_MESH_CAPPED_STRICT_MODE";

TEST(IndexedMesh, StrictMeshersFallBackToThePlainMeshWhenTheHierarchyDoesNotFit) {
  ScopedGrid grid(2049, 2049);
  Hills(grid, 2049, 2049);
  mesh_simplification = 1;
  if (const char* mode = getenv(kCappedStrictVariable)) {
    mesh_mode = atoi(mode);
    max_precision = mesh_mode == 0 ? 6 : 12;
    strict_error = 1;
    child_process::CapAddressSpaceAbove(24u << 20);
    refresh_mesh = true;
    Viewer.UpdateMesh();
    ComposeOverlayText();
    printf("%s", text_buffer);
    fflush(nullptr);
    _exit(Viewer.DrawnMesh().strict ? 1 : 0);
  }
  for (int mode : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    mesh_mode = mode;
    max_precision = mode == 0 ? 6 : 12;
    const long long plain = mesh::BuildIndexedMesh(input, mesh::CurrentSettings()).triangle_count;
    const auto outcome = child_process::Run([mode] {
      setenv(kCappedStrictVariable, std::to_string(mode).c_str(), 1);
      execl("/proc/self/exe", "unit_tests", "--gtest_filter=IndexedMesh.StrictMeshersFallBack*",
            static_cast<char*>(nullptr));
      return 127;
    });
    ASSERT_TRUE(outcome.exited) << "the build crashed when memory ran out";
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("\n\tNot enough memory for Strict Error on this grid: fell back to the mesh with "
                               "Strict Error off.\n\n"),
              std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("\nTriangles: " + std::to_string(plain) +
                               "\nNo memory for Strict Error: fell back to the plain mesh\n"),
              std::string::npos)
        << outcome.out;
  }
}
#endif

}  // namespace
