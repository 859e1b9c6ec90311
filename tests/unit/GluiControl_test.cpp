// The panel callback: which control ids ask for a mesh rebuild.
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
  // The Quit button's id and ids outside the panel are ignored.
  for (int id : {0, -1, 100, 116, 1000}) {
    EXPECT_FALSE(RebuildRequestedBy(id)) << "id " << id;
  }
}

TEST(GluiControl, ChangesNoSettingAndNeverClearsAPendingRebuild) {
  const int saved_precision = max_precision, saved_error = max_approx_error,
            saved_mode = mesh_mode, saved_wireframe = wireframe;
  refresh_mesh = true;
  for (int id = 0; id <= 120; ++id) GluiControl(id);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_EQ(max_precision, saved_precision);
  EXPECT_EQ(max_approx_error, saved_error);
  EXPECT_EQ(mesh_mode, saved_mode);
  EXPECT_EQ(wireframe, saved_wireframe);
}

TEST(GluiControl, ThePanelCallsItUnlessATestWrapsIt) {
  EXPECT_EQ(panel_control_callback, &GluiControl);
}

TEST(GluiControl, IdsMatchTheirControls) {
  EXPECT_EQ(kWireframeId, 101);
  EXPECT_EQ(kLightId, 102);
  EXPECT_EQ(kRenderingModeId, 103);
  EXPECT_EQ(kMeshModeId, 104);
  EXPECT_EQ(kMeshSimplificationId, 105);
  EXPECT_EQ(kAnimationId, 106);
  EXPECT_EQ(kAirSpeedId, 107);
  EXPECT_EQ(kPrecisionId, 108);
  EXPECT_EQ(kYMultiplierId, 109);
  EXPECT_EQ(kXZMultiplierId, 110);
  EXPECT_EQ(kMaxApproxErrorId, 111);
  EXPECT_EQ(kBorderX1Id, 112);
  EXPECT_EQ(kBorderZ1Id, 113);
  EXPECT_EQ(kBorderX2Id, 114);
  EXPECT_EQ(kBorderZ2Id, 115);
  EXPECT_EQ(kQuitId, 0);
}

}  // namespace
