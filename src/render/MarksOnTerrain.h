// Lines drawn on the terrain (contours, the profile path): where a grid position at a height
// in metres is drawn, and the frame they are drawn in, pulled a little towards the eye so
// that a mesh lying slightly above the grid does not hide them.
#pragma once

#include "DrawScales.h"
#include "GridPosition.h"

// Eye coordinates are scaled by this: the same place on screen, a nearer depth.
constexpr double kTowardsEye = 0.995;

struct DrawnPoint {
  float x, y, z;
};

// Where `p` at `metres` is drawn in the terrain's frame before its centring.
DrawnPoint DrawnAt(GridPosition p, double metres, const DrawScales& scales);

// From the model turns (the modelview after the terrain) to the terrain's centred frame,
// the projection pulled towards the eye, lighting, texturing and fog off; End undoes it all.
void BeginMarksOnTerrain();
void EndMarksOnTerrain();
