// The flight the window records: `k` adds the view as a keyframe at the time since the
// first one, `K` takes the last away. Free of GL.
#pragma once

#include "Flight.h"

extern Flight recorded_flight;

// Adds `camera` as reached at `now_ms` of the window's clock: the first keyframe at 0 s,
// each later one at the time since the first, to a tenth of a second and at least a tenth
// after the one before, so that the flight replays at the pace it was set up.
void RecordKeyframe(const CameraPlace& camera, int now_ms);

// Takes the last keyframe away; false when there was none.
bool DropLastKeyframe();
