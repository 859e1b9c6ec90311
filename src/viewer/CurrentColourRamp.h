// The colour ramp that "Color" shading uses now: the panel's choice (colour_ramp), or the
// ramp a --colors file gave.
#pragma once

#include <functional>

#include "TerrainColor.h"

// True once a --colors file has been read: the panel then offers "File".
bool ColourRampFileLoaded();
// The colour of a height in metres under the current ramp.
RGBColor CurrentRampColour(double metres);
// A new number whenever the current ramp changes, so drawings made with it are remade.
unsigned long ColourRampVersion();
// A copy of the current ramp that other threads may use while the viewer changes its own.
std::function<RGBColor(double metres)> CurrentRampCopy();
