// Binary little-endian PLY: the corner points as float x, y, z (metres), then the
// triangles as lists of three int indices. Free of GL.
#pragma once

#include "BufferedFile.h"
#include "MeshToWrite.h"

namespace mesh_export {

// With a base the bottom copies of the points follow the surface's, then the fan's centre.
void WritePly(const MeshToWrite& m, BufferedFile& out);

}  // namespace mesh_export
