// A camera as a user gives it, on the command line or in a saved view.
#pragma once

// A place in world units and the view direction, TILT in degrees below the horizon and
// HEADING in degrees (0 looks along -z, 90 along -x).
struct CameraPlace {
  double x = 0, y = 0, z = 0, tilt = 0, heading = 0;
};
