// The viewer's globals that steer mesh building; mesh::CurrentSettings() gathers them
// for the mesh layer.
#pragma once

#include "Mesh.h"

extern int triangle_count;
extern int terrain_size;
extern Vertex terrain_border_1;
extern Vertex terrain_border_2;
// Mesh the whole loaded grid: borders at its corners, size its longer side.
void MeshWholeGrid();
extern int max_precision;
extern int max_approx_error;
extern int mesh_simplification;
// With simplification, elements are split until no grid point they cover departs from
// them by more than the bound, and the mesh is closed where fine meets coarse; off, each
// element is judged at one place, as the plain meshers always did.
extern int strict_error;
extern int mesh_mode;
extern bool refresh_mesh;
// NODATA cells drawn as the heights they hold; otherwise they are holes in the terrain.
extern int show_nodata;

// "Screen Error": the mesh follows the camera, refined wherever an element would stray by
// more than max_screen_error pixels on screen, with at most screen_triangle_cap triangles.
extern int screen_error;
extern float max_screen_error;
extern int screen_triangle_cap;

// The most triangles a build may hold; a build that would exceed it stops at the last
// whole level that fits.
extern long long mesh_triangle_budget;
