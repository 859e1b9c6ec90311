// The frame-rate window and the overlay text, free of GL: GlutDisplay feeds in the clock
// and draws the composed text.
#pragma once

#include <string>

#include "ScreenView.h"

// Counts one frame drawn at now_ms (GLUT elapsed time). Once more than 1000 ms have passed
// since `timebase`, strictly, sets `fps` to the rate over that window and starts a new one.
void UpdateFrameRate(int now_ms);

// Writes the overlay lines (frame rate, triangle count, with "(building a new mesh)" while a
// requested mesh is not yet shown, a line when the grid has no terrain, when Strict Error
// fell back or the mesh on screen was limited, its true error when it was measured or,
// for a mesh built for the view, its error in pixels, the mouse bindings) into `text_buffer` from
// `fps`, `triangle_count` and the drawn mesh.
void ComposeOverlayText();

// The error line of a mesh built for the view: "Screen error: 0.9 px (bound 1 px)", the
// error to a tenth and the bound to a hundredth of a pixel, without trailing zeros, then
// ", limited" when the triangle cap raised the bound.
std::string ScreenErrorLine(const mesh::ScreenResult& result);

// A line the overlay shows under the triangle count until the clock passes until_ms
// (GLUT elapsed time), such as where a picture of the view went.
void ShowOverlayNotice(const std::string& text, int until_ms);

// Drops the notice once now_ms has passed its end; true when it was dropped.
bool ExpireOverlayNotice(int now_ms);
