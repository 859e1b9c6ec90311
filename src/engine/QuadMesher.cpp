// Placeholder until this concern is built.
#include "Brackenholmer.h"

void Brackenholmer::CreateQSDTriangles() {}
bool Brackenholmer::ApproxError(Quad) { return false; }
