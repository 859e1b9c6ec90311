// Binary STL: an 80-byte header, the triangle count, and per triangle its unit normal,
// three corners (little-endian floats, metres) and a zero attribute word. Free of GL.
#pragma once

#include "BufferedFile.h"
#include "MeshToWrite.h"

namespace mesh_export {

void WriteStl(const MeshToWrite& m, BufferedFile& out);

}  // namespace mesh_export
