// --export: the mesh of the start-up settings written to a file, with no display.
#pragma once

#include "CommandLine.h"

// Builds the mesh of the loaded grid at the start-up settings and writes it to `out`
// (OBJ, STL, PLY or binary glTF by its ending; `texture` named in the OBJ's .mtl or
// embedded in the glTF; of `command`, base closing the solid, print_size and
// base_thickness making a model to print); prints the outcome. The exit status: 0
// written, 1 not.
int ExportMesh(const char* out, const char* texture, const command_line::Options& command);
