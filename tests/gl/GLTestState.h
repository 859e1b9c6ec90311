// A known start state for the GL tests, which share one window, one context and the
// viewer's globals: every suite starts from it, and fixtures call it in SetUp.
#pragma once

#include <gtest/gtest.h>

// Removes the panel, puts the viewer globals, the camera and the mesh settings back to
// their start values (ViewerStartState.h; the borders and size to the whole grid, the
// camera tilted to 120 degrees, the window 1024 x 768) and the GL state of the shared context back to OpenGL's defaults
// (identity matrices, full-window viewport, no capability enabled but dithering, fill
// mode, no texture bound). Leaves `input` alone: the tests set the grid they need.
void ResetViewerState();

// Base of the GL test fixtures: each test starts from ResetViewerState().
class GLStateTest : public testing::Test {
 protected:
  void SetUp() override { ResetViewerState(); }
};
