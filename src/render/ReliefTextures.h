// The relief shading's textures in the current GL context: one per tile of the grid, with
// their reduced levels, replaced whenever the viewer hands over a new image.
#pragma once

#include <vector>

#include "GLScalars.h"
#include "ReliefImage.h"

struct ReliefTextures {
  struct Tile {
    GLuint id = 0;
    int col0 = 0, row0 = 0, cols = 0, rows = 0;  // the grid points the texels stand on
  };
  int channels = 1;  // 1: a shade to modulate with; 3: colour times shade
  int grid_cols = 0, grid_rows = 0;
  std::vector<Tile> tiles;  // none until an image came
};

// Replaces the textures with `image`'s.
void UploadReliefTextures(const ReliefImage& image);
const ReliefTextures& CurrentReliefTextures();
// Deletes the textures (before a context goes, or when a new grid comes).
void ReleaseReliefTextures();
// The largest texture side the current context takes.
int ContextTextureLimit();
