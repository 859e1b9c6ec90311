// Contour lines on the terrain, and their height labels in pictures.
#pragma once

#include "Brackenholmer.h"

// Draws the contours UpdateContours gives, in the terrain's frame (inside the model turns),
// pulled a little towards the eye so that the surface does not hide them.
void DrawContours();
// Labels the contours with their heights over the finished 3-D view (pictures); labels of
// lines hidden by the terrain, off screen or crowding another are left out.
void DrawContourLabels();
