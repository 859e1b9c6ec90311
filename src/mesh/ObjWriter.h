// Wavefront OBJ with shared vertices, texture coordinates and normals, and the .mtl that
// names its texture. Free of GL.
#pragma once

#include <string>

#include "BufferedFile.h"
#include "MeshToWrite.h"

namespace mesh_export {

// Positions in metres, exact (as drawn, in whole grid units); texture coordinates and
// normals in seven decimals. `material`, when not empty, is the .mtl's file name.
void WriteObj(const MeshToWrite& m, const std::string& material, BufferedFile& out);

// The .mtl of material "terrain" whose texture is `texture`, named by its path from
// `folder`, the .mtl's own.
void WriteMaterial(const std::string& folder, const std::string& texture, BufferedFile& out);

// The path of `target` as seen from the folder `folder`: "../maps/relief.png". Both are
// taken from the current folder when relative, with their links resolved as far as they exist.
std::string PathFrom(const std::string& folder, const std::string& target);

}  // namespace mesh_export
