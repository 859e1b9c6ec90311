// Pictures of the 3-D view as PNG files, free of GL: the window layer hands in the pixels.
#pragma once

#include <string>
#include <vector>

#include "Status.h"

namespace snapshot {

// "N36W085_1201x1201" for the grid dem/N36W085.hgt of 1201 columns and rows, and
// "jacksboro_403x344" for data/jacksboro_403x344.asc:
// the file name without its folder and last extension, then the size unless the name ends
// with it already.
std::string NameStem(const std::string& grid_path, int cols, int rows);

// Numbered files go up to this number.
constexpr int kMaxNumber = 999;

// "jacksboro_403x344-007.png" for the stem, 7 and ".png".
std::string NumberedName(const std::string& stem, int number, const std::string& ending);

// The first of NumberedName(stem, 1..kMaxNumber, endings[0]) for which no file of that
// number exists with any of the `endings` (".obj" and its ".mtl"); empty when all are taken.
std::string FreeNumberedName(const std::string& stem, const std::vector<std::string>& endings);

// Writes width x height RGB pixels, rows top to bottom, as dir/stem-001.png, or -002 and so
// on when that name is taken; an existing file is never replaced. The file appears whole
// or not at all. On success `written` is the path; a failure says why ("Not a directory"),
// and nothing is left behind.
Status SavePng(const std::string& dir, const std::string& stem, int width, int height, const unsigned char* rgb,
               std::string* written);

// Writes the pixels as the PNG file `path`, whole or not at all; an existing file is left
// as it was and is a failure.
Status SavePngAs(const std::string& path, int width, int height, const unsigned char* rgb);

// The bytes a width x height picture takes to draw off-screen and write: the colour and
// depth buffers (4 + 4 bytes a pixel), the RGB read-back (3) and the PNG (its filtered
// rows, the compressed stream and the copy written out, 3 each at worst), on top of the
// renderer's own threads and compiled code (kRendererBytes, measured under address-space
// caps: Mesa's software renderer takes some 350 MB of address space before a pixel).
constexpr unsigned long long kRendererBytes = 400ULL << 20;
unsigned long long PictureBytes(int width, int height);

}  // namespace snapshot
