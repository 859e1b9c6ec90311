// Placeholder until this concern is built.
#include "Brackenholmer.h"

void GlutDisplay() {}
void Brackenholmer::RenderFloodLight() {}
void Brackenholmer::RenderText(char*, int) {}
