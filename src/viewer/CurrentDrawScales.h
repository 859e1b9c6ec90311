// The drawing's scales for the loaded grid at the panel's current settings.
#pragma once

#include "DrawScales.h"

// The column ratio drawn now: the grid's, or 1 with "Square Cells" on.
double DrawnColumnRatio();

// The scales of the loaded grid at the current settings.
DrawScales CurrentDrawScales();
