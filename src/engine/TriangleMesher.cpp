// Placeholder until this concern is built.
#include "Brackenholmer.h"

void Brackenholmer::CreateTSDTriangles() {}
bool Brackenholmer::ApproxError(Triangle) { return false; }
