// The viewer's globals for how the terrain looks beyond its mesh: relief shading from the
// grid, the sun, shadows and ambient occlusion, the colour ramp and its legend, sky and
// haze, and what pictures carry. All off (or as before) at start.
#pragma once

// "Relief Shading": a shade per grid point, made on a worker, modulates the terrain.
extern int relief_shading;
extern float sun_azimuth;    // degrees clockwise from north
extern float sun_altitude;   // degrees above the horizon
extern int multidirectional; // four lights around the north-west instead of one sun
extern int cast_shadows;     // "Shadows"
extern int ambient_occlusion;

// The colour ramp of "Color" shading: one of ColourRampChoice.
enum ColourRampChoice { kDefaultRamp = 0, kHypsometricRamp = 1, kGreyRamp = 2, kFileRamp = 3 };
extern int colour_ramp;
extern int show_legend;         // the legend in the window's overlay
extern int legend_in_pictures;  // and in pictures (--legend)

// A sky gradient behind the terrain instead of black, and haze that fades far terrain.
extern int sky;
extern int haze;

// Pictures show the floodlight marker only when asked (--marker).
extern int marker_in_pictures;
