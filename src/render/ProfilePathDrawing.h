// The profile path on the terrain: its line along the grid's heights and its corners.
#pragma once

// In the terrain's frame, as DrawContours.
void DrawProfilePath();
