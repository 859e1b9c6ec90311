// The path the user places on the terrain (Ctrl + click) and its elevation profile, made
// again whenever the path changes.
#pragma once

#include <vector>

#include "GridPosition.h"
#include "Profile.h"

// The path's corners, in order.
const std::vector<GridPosition>& ProfilePath();
// Its profile over the loaded grid; empty below two corners.
const Profile& CurrentProfile();
// Counts every change, so that drawings made from the path know when to renew.
unsigned long ProfilePathVersion();

void AddProfilePoint(GridPosition p);
void RemoveLastProfilePoint();
void ClearProfilePath();
