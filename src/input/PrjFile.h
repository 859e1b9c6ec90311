// The coordinate system of a grid whose format has no room for one, from the .prj file
// that GIS programs write beside it.
#pragma once

#include <string>

// The coordinate system, as WKT, of the .prj beside `grid_path` (its name with the
// ending replaced, ".prj" or ".PRJ"); empty when there is none or GDAL cannot read it.
std::string CoordinateSystemBeside(const char* grid_path);
