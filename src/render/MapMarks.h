// The scale bar and north arrow in the 3-D view's lower-left corner: the bar measured at
// the screen centre's ground, the arrow pointing where north lies on screen.
#pragma once

#include "ScaleBar.h"

// Over the finished 3-D view (the terrain's depth still in the buffer), leaving matrices
// and GL state as they were. Each draws nothing when the view's centre shows no terrain.
void DrawScaleBar();
// The bar DrawScaleBar draws for the view now (metres 0 when the centre shows no terrain).
ScaleBarLength ScaleBarAtCentre();
void DrawNorthArrow();
// Grid cells a screen pixel spans across at the centre's ground, from the terrain's frame
// (inside the model turns) after the terrain is drawn; 0 when the centre shows no terrain.
double GridCellsPerPixelAtCentre();
