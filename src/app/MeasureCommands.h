// The measuring jobs without a window: a profile written as CSV (--profile, --profile-geo)
// and contour lines written as a GIS file (--contours-out). Each prints its outcome and
// returns the exit status.
#pragma once

#include "CommandLine.h"

int WriteProfileCommand(const command_line::Options& options);
int WriteContoursCommand(const command_line::Options& options);
