// An elevation profile as CSV text, and the path's corners read from the command line.
#pragma once

#include <string>
#include <vector>

#include "GridPosition.h"
#include "Profile.h"
#include "Status.h"
#include "TerrainLoader.h"

// One header line, then a line per sample: distance and ground distance in metres, column,
// row, the place (lon,lat or x,y as the grid has it) and the height in metres (empty
// where unknown).
std::string ProfileCsv(const data& grid, const Profile& profile);

// "X1,Z1,X2,Z2,..." (columns and rows) into positions; at least two, inside the grid.
Status ParseGridPath(const data& grid, const std::string& text, std::vector<GridPosition>* path);
// "LON,LAT,LON,LAT,..." into grid positions through the grid's place (and coordinate
// system, for a projected grid); refused for a grid without a place.
Status ParseGeoPath(const data& grid, const std::string& text, std::vector<GridPosition>* path);
