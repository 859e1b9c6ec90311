// The sky behind the terrain, as GL draws it.
#pragma once

// Fills the view with the sky for a camera tilted `tilt_degrees` (90 level), one band of
// rows after another, writing no depth; the camera's matrices and the GL state stay as
// they were.
void DrawSky(double tilt_degrees);

