// The shade of a height grid at every grid point, made from the heights alone so that any
// mesh drawn over it shows the grid's full relief: hillshade as gdaldem makes it (one sun,
// or four lights with "multidirectional"), shadows cast by the terrain, and the share of
// the sky open above each point. Rows run from north (row 0) to south, columns from west
// to east; the sun's azimuth is clockwise from north.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "TerrainLoader.h"

namespace relief {

// The grid as the shading sees it.
struct ReliefGrid {
  const data* grid = nullptr;
  double column_spacing = 1;  // between neighbouring columns, in height units
  double row_spacing = 1;     // between neighbouring rows, in height units
  double z_factor = 1;        // heights are taken times this (the Y-Multiplier)
  bool nodata_holes = true;   // NODATA cells are holes: their neighbours do not see them
  int threads = 0;            // at most; 0 lets the grid's size decide (mesh::BuildThreads)
};

struct Sun {
  double azimuth = 315;   // degrees clockwise from north
  double altitude = 45;   // degrees above the horizon
  bool multidirectional = false;

  bool operator==(const Sun&) const = default;
};

struct ShadeOptions {
  Sun sun;
  bool shadows = false;
  bool ambient_occlusion = false;
  int directions = 16;  // of the horizon, for ambient occlusion

  bool operator==(const ShadeOptions&) const = default;
};

// Asked now and then; true stops the work (the functions then return false or nothing).
using Stop = std::function<bool()>;

// gdaldem hillshade -compute_edges: grey 1..255 per point (0 for NODATA holes), row-major,
// cols values per row, into `out` (rows * cols bytes).
bool Hillshade(const ReliefGrid& g, const Sun& sun, uint8_t* out, const Stop& stop);
// 255 where the sun reaches a point, 0 where the terrain hides it from the sun (and at
// NODATA holes, which cast no shadow). One sweep along the rays, on the calling thread.
bool CastShadows(const ReliefGrid& g, const Sun& sun, uint8_t* out, const Stop& stop);
// The open sky above each point, 0 (none) to 255 (all of it; 0 at NODATA holes):
// 1 - the mean of sin(max(horizon, 0)) over `directions` evenly spaced directions. Holds
// two bytes a point besides `out` while it works.
bool SkyView(const ReliefGrid& g, int directions, uint8_t* out, const Stop& stop);

// The final shade 0..255 of every point: the hillshade, darkened where shadowed and where
// the sky is closed, as the options ask. Nothing when stopped.
std::optional<std::vector<uint8_t>> MakeShade(const ReliefGrid& g, const ShadeOptions& o, const Stop& stop);

}  // namespace relief
