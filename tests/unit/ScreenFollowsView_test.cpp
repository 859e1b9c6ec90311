// The viewer asks for a new mesh under Screen Error whenever the view changes, and only then;
// in the background, a view that moved during a build is asked for when the build is taken.
#include <gtest/gtest.h>

#include "Brackenholmer.h"
#include "MeshBuild.h"
#include "MesherReference.h"

namespace {

using mesher_test::ScopedGrid;

void Ridges(ScopedGrid& grid, int n) {
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) grid.at(c, r) = (r * 37 + c * 53) % 90 + (r * r) / 8;
}

void LookAtTheGrid() {
  screen_error = 1;
  width = 320;
  height = 240;
  Viewer.cam_x = 0;
  Viewer.cam_y = 200;
  Viewer.cam_z = 400;
  Viewer.cam_x_angle = 120;
  Viewer.cam_y_angle = 0;
}

TEST(ScreenFollowsView, RebuildsWhenTheCameraTurnsOrTheWindowChangesAndNotOtherwise) {
  ScopedGrid grid(65, 65);
  Ridges(grid, 65);
  grid.UseWholeGrid();
  LookAtTheGrid();
  refresh_mesh = true;
  ASSERT_TRUE(Viewer.UpdateMesh());
  EXPECT_TRUE(Viewer.DrawnMesh().screen.on);
  const unsigned long first = Viewer.DrawnMeshVersion();
  EXPECT_FALSE(Viewer.UpdateMesh());
  EXPECT_EQ(Viewer.DrawnMeshVersion(), first);
  int changes = 0;
  for (auto change : {+[] { Viewer.cam_z -= 150; }, +[] { angle_y += 10; }, +[] { height = 200; },
                      +[] { y_multiplier = 2; }, +[] { Viewer.cam_x_angle = 150; }}) {
    change();
    EXPECT_TRUE(Viewer.UpdateMesh()) << "change " << changes;
    EXPECT_FALSE(Viewer.UpdateMesh()) << "change " << changes;
    ++changes;
  }
  EXPECT_EQ(Viewer.DrawnMeshVersion(), first + 2 * changes);  // each rebuild drops the old mesh first
  screen_error = 0;
  EXPECT_FALSE(Viewer.UpdateMesh());
}

TEST(ScreenFollowsView, TheViewThatMovedDuringABuildIsBuiltNext) {
  ScopedGrid grid(65, 65);
  Ridges(grid, 65);
  grid.UseWholeGrid();
  LookAtTheGrid();
  refresh_mesh = true;
  Viewer.UpdateMesh();  // built at once: the reference for the moved view comes after
  mesh_builds_in_background = true;
  Viewer.cam_z = 250;
  Viewer.UpdateMesh();
  Viewer.cam_z = 120;  // moved while the build may run
  Viewer.UpdateMesh();
  Viewer.WaitForMesh();
  Viewer.UpdateMesh();
  Viewer.WaitForMesh();
  Viewer.UpdateMesh();
  EXPECT_FALSE(MeshBuildPending());
  const IndexedMesh shown = Viewer.DrawnMesh();
  const IndexedMesh wanted = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  EXPECT_EQ(shown.indices.size(), wanted.indices.size());
  EXPECT_EQ(shown.screen.achieved_px, wanted.screen.achieved_px);
}

}  // namespace
