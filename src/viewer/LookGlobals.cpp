#include "LookGlobals.h"

int relief_shading = 0;
float sun_azimuth = 315.0f;
float sun_altitude = 45.0f;
int multidirectional = 0;
int cast_shadows = 0;
int ambient_occlusion = 0;
int colour_ramp = kDefaultRamp;
int show_legend = 0;
int legend_in_pictures = 0;
int sky = 0;
int haze = 0;
int marker_in_pictures = 0;
