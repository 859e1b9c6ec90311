// Placeholder until this concern is built.
#include "Brackenholmer.h"

int OpenViewer(int, char**) { return 0; }
void GlutInit(int, char**) {}
void GlutReshape(int, int) {}
void GlutIdle() {}
