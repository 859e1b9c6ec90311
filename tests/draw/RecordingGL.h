// A recording stand-in for the GL, GLU and GLUT functions the drawing and navigation code
// calls. draw_tests links it instead of the real libraries: every call is appended to
// RecordedCalls() with its arguments converted to double, so a test can check exactly
// what the code sent. A function the code calls but this file lacks is a link error.
#pragma once

#include <string>
#include <vector>

#include "Brackenholmer.h"

struct GLCall {
  std::string name;          // e.g. "glVertex3i"
  std::vector<double> args;  // e.g. {900, 7, 1800}; enums and pointers as listed below
};

std::vector<GLCall>& RecordedCalls();
void ClearRecordedCalls();
int CountCalls(const std::string& name);

// What glutGet(GLUT_ELAPSED_TIME) returns.
extern int fake_elapsed_time;
// What glutGetModifiers() returns (GLUT_ACTIVE_* bits); a query, so not recorded.
extern int fake_modifiers;

// The panel's top edge as the drawing sees it (panel_top); no panel at first.
extern float& fake_panel_top;

// glutBitmapCharacter is recorded as {font code, character}; the codes of the fonts:
constexpr double kFontHelvetica10 = 10;
constexpr double kFontHelvetica12 = 12;
constexpr double kFontHelvetica18 = 18;
constexpr double kFontTimesRoman10 = 110;
constexpr double kFontTimesRoman24 = 124;
constexpr double kFont8By13 = 813;
constexpr double kFont9By15 = 915;
constexpr double kFontUnknown = -1;

// The recorded calls of one name, in order.
std::vector<GLCall> CallsNamed(const std::string& name);
