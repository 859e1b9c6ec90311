// Placeholder until this concern is built.
#include "Brackenholmer.h"
#include "TextureLoader.h"

GLuint TextureLoader::LoadBMPTexture(const char*) { msg[0] = 0; return 0; }
