#include "MeasureGlobals.h"

int show_contours = 0;
float contour_interval = 0;
int show_scale_bar = 0;
int show_north_arrow = 0;
