// Stub until the contour worker lands.
#include "ViewerContours.h"

const ContourSet* UpdateContours() { return nullptr; }
unsigned long ContourVersion() { return 0; }
bool ContoursPending() { return false; }
bool ContoursReady() { return false; }
void MakeContoursNow() {}
void ForgetContours() {}
