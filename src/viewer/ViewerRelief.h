// Relief shading in the viewer: the shading the look globals ask for, made from the loaded
// grid on a worker thread (at once when meshes are not built in the background either),
// and handed to the drawing when finished; the drawing keeps showing the last one meanwhile.
#pragma once

#include <optional>

#include "ReliefImage.h"

// The largest texture side the renderer takes: the renderer lowers it to its context's.
extern int relief_texture_limit;

// True when relief shading is on and can be drawn (the terrain has a footprint).
bool ReliefWanted();
// Once a frame: asks for new shading when anything it depends on changed, and returns a
// finished image once, for the drawing to show from then on.
std::optional<ReliefImage> UpdateRelief();
// True from a request until its shading has been taken.
bool ReliefPending();
// True when shading is finished and waits for the next frame to take it.
bool ReliefReady();
// Forgets what was asked and made, as before the first frame (a new grid or context).
void ForgetRelief();
