// Videos without a window: a flight's frames drawn by Mesa's off-screen renderer through
// the window's own drawing code, as --snapshot draws one picture, and written as an MP4
// video or as numbered PNG pictures.
#pragma once

#include "Flight.h"

// The seconds a video's frames took, summed over its frames: the Screen Error mesh for each
// frame's camera (the whole grid's mesh once, otherwise), the drawing to glFinish (with the
// relief shading made before the first frame), the read-back of the pixels, and the
// encoding or PNG writing.
struct VideoTimes {
  double mesh = 0, draw = 0, read_back = 0, encode = 0;
  int frames = 0;
};

// Draws `flight` at `fps` (FlightFrames, each at FrameSeconds with CameraAt) at the
// current settings into w x h frames, and writes them to `path`: an .mp4 file, or a folder
// (ending in /) for DIR/frame-00001.png and on. argv holds the program, the grid and the
// texture, as for the window. Prints a progress line on a terminal and the outcome; `times`,
// if given, receives the figures. The exit status: 0, or 1 when nothing was written.
int RenderVideo(const char* path, const Flight& flight, int fps, int w, int h, int argc, char** argv,
                VideoTimes* times = nullptr);
