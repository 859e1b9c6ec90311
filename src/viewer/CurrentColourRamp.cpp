#include "CurrentColourRamp.h"

#include "LookGlobals.h"

bool ColourRampFileLoaded() { return false; }

RGBColor CurrentRampColour(double metres) { return TerrainColor(metres); }

unsigned long ColourRampVersion() { return static_cast<unsigned long>(colour_ramp); }

std::function<RGBColor(double metres)> CurrentRampCopy() { return TerrainColor; }
