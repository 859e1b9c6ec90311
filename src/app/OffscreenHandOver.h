// --snapshot and --video in the window program: the off-screen program beside it draws
// the picture or the video.
// OpenGL libraries cannot be mixed in one process, hence a second program.
#pragma once

// Hands the whole command line to brackenholmer-offscreen in this program's folder.
// Returns only when it cannot be started: the exit status 1, with the reason printed for
// `option` ("--snapshot").
int HandOverToOffscreenRenderer(char** argv, const char* option);
