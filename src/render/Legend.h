// The colour legend over the 3-D view: a bar of the current ramp's colours over the loaded
// grid's heights, with labels in metres, on a dark translucent box at the view's right edge.
#pragma once

// Whether the legend belongs in a frame when `wanted` (show_legend for the window,
// legend_in_pictures for pictures): only in Color mode, where colours stand for heights.
bool LegendShown(int wanted);

// Draws the legend into the current viewport (the 3-D view), leaving the matrices and the
// GL state as they were. Nothing when the view is too small for it.
void DrawLegend();
