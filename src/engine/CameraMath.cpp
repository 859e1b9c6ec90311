// Placeholder until this concern is built.
#include "Brackenholmer.h"

GLdouble Brackenholmer::ModRotd(GLdouble angle) { return angle; }
