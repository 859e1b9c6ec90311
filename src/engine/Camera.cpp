// Placeholder until this concern is built.
#include "Brackenholmer.h"

void Brackenholmer::FlyingCamera() {}
