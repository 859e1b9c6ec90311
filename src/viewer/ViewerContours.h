// The contour lines the view draws, made on a worker for the loaded grid and the interval
// set, so that a new interval never holds up a frame.
#pragma once

#include "Contours.h"

// Asks for the contours at the current `contour_interval` when they are shown and differ
// from those made or asked for; takes a finished set. The set to draw (null while none is
// made), and a version that changes with it.
const ContourSet* UpdateContours();
unsigned long ContourVersion();
// True while a set is being made, and until it is taken.
bool ContoursPending();
// True when a finished set waits to be taken by UpdateContours.
bool ContoursReady();
// Makes the set for the current interval at once (pictures without a window).
void MakeContoursNow();
// Drops the set and any work (a new grid, the tests).
void ForgetContours();
