// Where the last drawn frame of the panel placed each control: a seam through which tests
// and tools find a control to click by its visible label.
#pragma once

// A control's rectangle in window pixels (y down).
struct PanelRect {
  float x0, y0, x1, y1;
};

// Where the last drawn frame placed a control, found by its visible label ("Properties",
// "Quit", "Wireframe", "             Precision:", ...); for a spinner the rectangle is its
// value field. False when the control was not drawn.
bool FindPanelControl(const char* label, PanelRect* rect);

// Called by the panel as it draws: forgets the last frame's places, notes a control's.
// `label` must outlive the frame (the panel's labels are string literals).
void ForgetPanelControlPlaces();
void NotePanelControlPlace(const char* label, const PanelRect& rect);
