// The panel callback GluiControl: which control ids ask for a mesh rebuild.
#include <gtest/gtest.h>

#include <set>

#include "Brackenholmer.h"
#include "ControlPanel.h"

namespace {

bool RebuildRequestedBy(int id) {
  refresh_mesh = false;
  GluiControl(id);
  const bool requested = refresh_mesh;
  refresh_mesh = true;
  return requested;
}

TEST(GluiControl, OnlyMeshShapingControlsRequestARebuild) {
  const std::set<int> shaping = {104, 105, 108, 111, 112, 113, 114, 115};
  for (int id = 101; id <= 115; ++id) {
    EXPECT_EQ(RebuildRequestedBy(id), shaping.count(id) == 1) << "id " << id;
  }
  EXPECT_TRUE(RebuildRequestedBy(kShowNoDataId));  // the holes are left out of the mesh
  for (int id : {kStrictErrorId, kScreenErrorId, kMaxScreenErrorId, kScreenTriangleCapId}) {
    EXPECT_TRUE(RebuildRequestedBy(id)) << "id " << id;
  }
  EXPECT_FALSE(RebuildRequestedBy(kExportBaseId));
  // The Quit button's id and ids outside the panel are ignored.
  for (int id : {0, -1, 100, 116, 123, 1000}) {
    EXPECT_FALSE(RebuildRequestedBy(id)) << "id " << id;
  }
}

TEST(GluiControl, ChangesNoSettingAndNeverClearsAPendingRebuild) {
  const int saved_precision = max_precision, saved_error = max_approx_error,
            saved_mode = mesh_mode, saved_wireframe = wireframe;
  refresh_mesh = true;
  for (int id = 0; id <= 130; ++id) GluiControl(id);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_EQ(max_precision, saved_precision);
  EXPECT_EQ(max_approx_error, saved_error);
  EXPECT_EQ(mesh_mode, saved_mode);
  EXPECT_EQ(wireframe, saved_wireframe);
}

}  // namespace
