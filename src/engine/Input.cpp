// Placeholder until this concern is built.
#include "Brackenholmer.h"

void GlutMouse(int, int, int, int) {}
void GlutMotion(int, int) {}
void GlutKeyboard(unsigned char, int, int) {}
void GlutSpecial(int, int, int) {}
