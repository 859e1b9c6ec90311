// Contour lines on the terrain, and their height labels in pictures.
#pragma once

#include "Brackenholmer.h"
#include "Contours.h"

// Draws the contours UpdateContours gives, in the terrain's frame (inside the model turns),
// pulled a little towards the eye so that the surface does not hide them.
void DrawContours();
// Labels the contours with their heights over the finished 3-D view (pictures); labels of
// lines hidden by the terrain, off screen or crowding another are left out.
void DrawContourLabels();

// The same for a given set; `version` changes whenever the set does (its vertices are
// kept between frames).
void DrawContourSet(const ContourSet& set, unsigned long version);
void DrawContourSetLabels(const ContourSet& set);

// Near-black brown, for the lines and their labels.
constexpr float kContourColour[3] = {0.22f, 0.13f, 0.05f};

// Frees the lines' buffer object of the current context (before the context goes).
void ReleaseContourBuffers();
