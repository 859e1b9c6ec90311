// The colour ramp that "Color" shading uses now: the panel's choice (colour_ramp), or the
// ramp a --colors file gave.
#pragma once

#include <functional>
#include <string>

#include "ColourRamp.h"
#include "TerrainColor.h"

// Takes the ramp a --colors file gave (`path` as given, for the command line of a picture)
// and makes it the current one (colour_ramp = kFileRamp).
void SetColourRampFile(const ColourRamp& ramp, const std::string& path);
// The --colors file's path; empty while none has been read.
const std::string& ColourRampFilePath();
// True once a --colors file has been read: the panel then offers "File".
bool ColourRampFileLoaded();
// The current ramp with its percentages resolved against the loaded grid's height range.
ColourRamp CurrentRamp();
// The colour of a height in metres under the current ramp; the ramp's NODATA colour for
// the loaded grid's NODATA height, where the ramp has one.
RGBColor CurrentRampColour(double metres);
// A new number whenever the current ramp changes, so drawings made with it are remade.
unsigned long ColourRampVersion();
// A copy of the current ramp that other threads may use while the viewer changes its own.
std::function<RGBColor(double metres)> CurrentRampCopy();
