// The profile path on the terrain: its line along the grid's heights and its corners.
#pragma once

#include <span>

#include "GridPosition.h"
#include "Profile.h"

// In the terrain's frame, as DrawContours: CurrentProfile() and ProfilePath().
void DrawProfilePath();
// The same for a given profile and its corners.
void DrawProfilePathOf(const Profile& profile, std::span<const GridPosition> corners);
