// The haze over the terrain, as GL draws it.
#pragma once

// Fog on what is drawn between the two: its colour the sky's at the horizon, its distance
// that from the camera. The modelview's model turns are kept.
void BeginHaze();
void EndHaze();
