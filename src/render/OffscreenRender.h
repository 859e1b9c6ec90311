// Pictures without a window: the start view drawn by Mesa's off-screen renderer through the
// window's own drawing code.
#pragma once

// Draws the loaded grid at the current settings into a width x height picture and writes it
// as the PNG file `path`; argv holds the program, the grid and the texture, as for the
// window. Prints the outcome. The exit status: 0, or 1 when nothing was written.
int RenderSnapshot(const char* path, int width, int height, int argc, char** argv);
