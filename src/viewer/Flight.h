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
// numbers that read back exactly.
std::string FlightText(const Flight& flight);

// Reads a flight's text; `name` is the file's, for the reason of a failure, which names
// the line and what is wrong ("flight.txt line 3: TILT must be from -89.5 to 89.5").
// A flight needs at least two keyframes at growing times.
Status ParseFlight(const std::string& text, const std::string& name, Flight* flight);

// Reads the file `path` with ParseFlight.
Status ReadFlight(const std::string& path, Flight* flight);

// The camera at `seconds` from the start (clamped to the flight's first and last times):
// the place on a spline through the keyframes' places (Catmull-Rom, centripetal or
// uniform, at the keyframes' times), TILT and HEADING turned the shortest way between
// keyframes. At a keyframe's time, that keyframe's camera exactly.
CameraPlace CameraAt(const Flight& flight, double seconds);

// The time of the last keyframe.
inline double FlightSeconds(const Flight& flight) { return flight.empty() ? 0 : flight.back().seconds; }
