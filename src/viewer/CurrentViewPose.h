// The view the terrain is drawn in now, as a mesh that follows the screen needs it.
#pragma once

#include "ScreenView.h"

// The camera, the model's turns, the drawing's scales and offset and the 3-D view's size in
// pixels at the current settings.
mesh::ViewPose CurrentViewPose();
