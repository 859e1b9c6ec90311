// Placeholder until this concern is built.
#include "Brackenholmer.h"

Vertex Brackenholmer::CreateVertex(float, float) { return Vertex{0, 0, 0}; }
QuadList::~QuadList() {}
