// Stand-in until the contour worker lands: no contours are ever made.
#include "ViewerContours.h"

const ContourSet* UpdateContours() { return nullptr; }
unsigned long ContourVersion() { return 0; }
bool ContoursPending() { return false; }
void MakeContoursNow() {}
void ForgetContours() {}
