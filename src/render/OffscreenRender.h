// Pictures without a window: the start view drawn by Mesa's off-screen renderer through the
// window's own drawing code.
#pragma once

#include <functional>

#include "ConsoleProgress.h"

// Draws the loaded grid at the current settings into a width x height picture and writes it
// as the PNG file `path`; argv holds the program, the grid and the texture, as for the
// window. Prints the outcome. The exit status: 0, or 1 when nothing was written.
int RenderSnapshot(const char* path, int width, int height, int argc, char** argv);

// What RenderSnapshot and RenderVideo share: refuses a grid without heights and a picture
// the memory cannot hold, makes a w x h off-screen context, sets up the scene (grid,
// texture, start camera) for it, runs `draw` and releases it all. `path` names the output
// in the reasons printed. Returns what `draw` returns, or 1 when it cannot run.
int DrawOffscreen(const char* path, int w, int h, int argc, char** argv, const std::function<int()>& draw);

// False, with the reason printed for `path`, when the scene set up cannot be drawn as asked
// (no normals, or a texture shading without the texture).
// A progress line shown is cleared first.
bool OffscreenCanDraw(const char* path, const char* texture, ConsoleProgress* progress = nullptr);

// Draws the scene as pictures show it (no marker unless asked, the legend when asked) and
// waits for it. False, with the reason printed for `path` after clearing `progress`, when
// there was no memory for a mesh.
bool DrawPicture(const char* path, ConsoleProgress* progress);
