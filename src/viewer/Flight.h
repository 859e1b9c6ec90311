// A flight: the camera's keyframes, each a place and the time it is reached, as the window
// records them (k) and --video plays them. Free of GL.
//
// The file: one keyframe a line, "X,Y,Z,TILT,HEADING,SECONDS" (the --camera fields and the
// keyframe's time from the flight's start); '#' starts a comment; blank lines are skipped.
#pragma once

#include <string>
#include <vector>

#include "CameraPlace.h"
#include "Status.h"

struct Keyframe {
  CameraPlace camera;
  double seconds = 0;
};

// Keyframes in order of strictly growing time.
using Flight = std::vector<Keyframe>;

// The file's text: a comment line naming the fields, then a line a keyframe with the
// numbers that read back exactly (%.10g, or more digits where 10 would lose something).
std::string FlightText(const Flight& flight);

// Reads a flight's text; `name` is the file's, for the reason of a failure, which names
// the line and what is wrong ("flight.txt line 3: TILT must be from -89.5 to 89.5").
// A flight needs at least two keyframes at growing times.
Status ParseFlight(const std::string& text, const std::string& name, Flight* flight);

// Reads the file `path` with ParseFlight.
Status ReadFlight(const std::string& path, Flight* flight);

// The camera at `seconds` from the start (clamped to the flight's first and last times):
// the place on a Catmull-Rom spline through the keyframes' places parameterised by the
// keyframes' times (so a steady straight flight stays steady however its keyframes are
// spaced; the velocity is continuous at every keyframe; the ends mirror their neighbour);
// TILT and HEADING on the same spline, the headings first unwrapped so that each keyframe
// turns the shortest way from the one before (350 to 10 passes through 0). HEADING may come
// out whole turns away from 0..360. At a keyframe's time, that keyframe's camera exactly.
CameraPlace CameraAt(const Flight& flight, double seconds);

// The time of the last keyframe.
inline double FlightSeconds(const Flight& flight) { return flight.empty() ? 0 : flight.back().seconds; }

// The frames of a video of the flight at `fps`: one at each 1/fps from the start up to the
// flight's end, which is the last frame: round(FlightSeconds * fps) + 1 of them (301 for
// 10 s at 30 fps).
int FlightFrames(const Flight& flight, int fps);
// The time of frame `index` (from 0): index / fps, and the flight's end for the last one.
double FrameSeconds(const Flight& flight, int fps, int index);
