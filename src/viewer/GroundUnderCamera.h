// The ground under the flying camera, free of GL: the terrain's height below a point of the
// drawn world, how high the camera flies above it, how long a step is at that height and
// the lift that keeps the camera off the surface.
#pragma once

#include "CameraMath.h"
#include "DrawScales.h"
#include "TerrainLoader.h"

namespace ground {

using camera_math::Vec3;

// The grid as drawn, before the model turns: grid point (column x, row z, height h) at
// (x * scales.column - half_x, h * scales.height, z * scales.row - half_z).
struct DrawnGrid {
  const data* grid = nullptr;
  DrawScales scales;
  double half_x = 0, half_z = 0;
};

// Centred on the origin as the terrain drawing centres it.
DrawnGrid DrawnGridFor(const data& grid, const DrawScales& scales, double xz_multiplier, double column_ratio);

// The model's turns in degrees, applied as the modelview applies them: x, then y, then z.
struct ModelTurn {
  double x = 0, y = 0, z = 0;
};

// A drawn-world point in the model's own frame (the turns undone), and back.
Vec3 ToModelFrame(Vec3 world, const ModelTurn& turn);
Vec3 ToWorldFrame(Vec3 model, const ModelTurn& turn);

// The drawn height of the surface at (x, z) of the model's frame, bilinear between the
// four grid points around it; false outside the grid or beside a NODATA point.
bool GroundHeightAt(const DrawnGrid& g, double x, double z, double* y);

// How far `camera` (drawn world) lies above the ground under it, along the model's up;
// false where there is no ground under it, or the model is turned so far that its up lies
// more than 60 degrees from the world's: "under" then no longer means below on screen.
bool HeightAboveGround(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera, double* height);

// Below a tenth of the terrain's side above the ground, steps shrink in proportion to the
// height, so that each one covers about the same share of the view; a fiftieth of the air
// speed at the least, a fifth of a grid step at the start speed of ten grid steps, so the
// ground can still be reached and crossed.
constexpr double kStepReferenceShare = 0.1;
constexpr double kMinStepFactor = 0.02;
// The factor on the air speed for a camera `camera` above the ground: 1 without ground.
double StepFactor(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera);

// The camera stays this high above the surface: low enough to fly among the terrain's
// features, high enough that the near plane does not cut the ground at the camera's feet.
constexpr double kClearanceMetres = 2;
// The clearance in drawn units for a grid of `units_per_metre` at a height scale.
double ClearanceFor(int units_per_metre, double height_scale);

// `camera` raised along the model's up to `clearance` above the ground when it is lower;
// unchanged when it is higher or there is no ground under it.
Vec3 KeptAboveGround(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera, double clearance);

// The same for the loaded grid at the viewer's current scales and model turns.
double CurrentStepFactor(Vec3 camera);
Vec3 CurrentlyKeptAboveGround(Vec3 camera);

}  // namespace ground
