// The .mtl names its texture by the path from its own folder.
#include "ObjWriter.h"

#include <gtest/gtest.h>

TEST(ObjWriter, PathFromTheMaterialsFolder) {
  EXPECT_EQ(mesh_export::PathFrom("/nowhere/out", "/nowhere/maps/relief.png"), "../maps/relief.png");
  EXPECT_EQ(mesh_export::PathFrom("/nowhere/out", "/nowhere/out/relief.png"), "relief.png");
  EXPECT_EQ(mesh_export::PathFrom(".", "maps/../relief.png"), "relief.png");
}
