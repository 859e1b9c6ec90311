// The viewer's globals for measuring the relief: contour lines, the scale bar and the
// north arrow. All off at start.
#pragma once

// "Contours": lines every `contour_interval` metres, drawn on the terrain.
extern int show_contours;
extern float contour_interval;  // metres; 0 until a grid gives its automatic interval
// The scale bar and north arrow in the 3-D view's corner (and in pictures).
extern int show_scale_bar;
extern int show_north_arrow;

// The limits of the interval spinner, in metres.
constexpr float kMinContourInterval = 0.01f;
constexpr float kMaxContourInterval = 10000.0f;
