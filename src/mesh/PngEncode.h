// PNG bytes of a picture in memory, for the files that hold one: pictures of the view and
// the drape inside a binary glTF. Free of GL.
#pragma once

#include <vector>

// Encodes width x height RGB pixels, rows top to bottom, into `png`; false when there is no
// picture or the encoder fails.
bool EncodePng(int width, int height, const unsigned char* rgb, std::vector<unsigned char>* png);
