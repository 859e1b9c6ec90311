// Placeholder until this concern is built.
#include "Brackenholmer.h"

void Brackenholmer::CalcNormales() {}
Normal Brackenholmer::CreateNormal(int, int, int, int, int, int) { return Normal{0, 1, 0}; }
