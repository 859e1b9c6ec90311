// --export: the mesh of the start-up settings written to a file, with no display.
#pragma once

// Builds the mesh of the loaded grid at the start-up settings and writes it to `out`
// (OBJ, STL, PLY or binary glTF by its ending; `texture` named in the OBJ's .mtl or
// embedded in the glTF, `base` closing the solid); prints the outcome. The exit status:
// 0 written, 1 not.
int ExportMesh(const char* out, const char* texture, bool base);
