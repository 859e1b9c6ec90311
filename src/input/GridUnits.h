// How many drawing units a metre of a grid takes. The mesh, the drawing and the exports
// work in whole units; grids of whole metres keep one unit a metre, finer ones more, so
// that their fractions survive.
#pragma once

#include <string>

struct GridUnits {
  int per_metre = 1;  // 0: no choice keeps the grid within the int range
  int spacing = 0;    // the cell size in units
};

// Whether `spacing_metres` is a whole number of metres, to a ten-thousandth of itself:
// 1/3 arc-second in degrees (9.99999 units) is 10.
bool IsWholeSpacing(double spacing_metres);

// The units for a grid whose cells lie `spacing_metres` apart (degrees count 30 metres an
// arc-second), whose heights are `whole_heights` or not and span least..greatest metres,
// with `widest` cells along its longer side. One unit a metre when the spacing and every
// height are whole; otherwise the least of 100, 1000, ... units a metre that keeps the
// spacing within 0.05% (and heights to 1 cm or better), as far as the int range allows:
// drawing forms 20 (the largest width scale) x widest x spacing, and heights up to 1e9
// units stay clear of the int limits.
GridUnits ChooseGridUnits(double spacing_metres, bool whole_heights, double least, double greatest, long long widest);

struct ReportLines;

// Adds the console's word on units other than metres, and on fractions of a metre that
// could not be kept, to the loader's note.
void NoteUnits(const ReportLines& out, int per_metre, bool whole_heights);

// The Max. Approx. Error's unit for the grid, for the console: "centimetres" at 100 units
// a metre, "millimetres" at 1000, "metres" at 1, or "1/N metres".
const char* UnitName(int per_metre);

// The decimals of a metre that `per_metre` (a power of 10) keeps: 2 at 100 units a metre.
int DecimalsOf(int per_metre);

// The spacing for the console, in metres: "90", "2.5".
std::string SpacingText(const GridUnits& units);
