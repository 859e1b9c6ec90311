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

// Which levels the view draws: 1 every one, 5 every fifth (the index lines) where the lines
// would come closer on screen than a few pixels and paint the terrain over, 0 none where
// even those would. From the set's mean spacing and the scale at the view's centre.
int ContourLevelStep(const ContourSet& set);
// Whether `level` is an index line (a whole multiple of five intervals).
bool IndexLevel(double level, double interval);

// Near-black brown, for the lines and their labels.
constexpr float kContourColour[3] = {0.22f, 0.13f, 0.05f};

// Frees the lines' buffer object of the current context (before the context goes).
void ReleaseContourBuffers();
