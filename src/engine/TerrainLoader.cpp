// Placeholder until this concern is built.
#include "Brackenholmer.h"

bool TerrainLoader::LoadArcASCIIFile(const char*) { msg[0] = 0; return false; }
