#include "ReliefTextures.h"

#include <GL/gl.h>
#include <cstddef>

namespace {

ReliefTextures textures;

}  // namespace

void UploadReliefTextures(const ReliefImage& image) {
  ReleaseReliefTextures();
  textures.channels = image.channels;
  textures.grid_cols = image.grid_cols;
  textures.grid_rows = image.grid_rows;
  const GLenum format = image.channels == 3 ? GL_RGB : GL_LUMINANCE;
  const GLint internal = image.channels == 3 ? GL_RGB8 : GL_LUMINANCE8;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (const ReliefTile& t : image.tiles) {
    ReliefTextures::Tile tile{0, t.col0, t.row0, t.cols, t.rows};
    glGenTextures(1, &tile.id);
    glBindTexture(GL_TEXTURE_2D, tile.id);
    // Trilinear only: Mesa's anisotropic filter blurs magnified texels.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    int w = t.cols, h = t.rows;
    for (size_t level = 0; level < t.levels.size(); ++level) {
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), internal, w, h, 0, format, GL_UNSIGNED_BYTE,
                   t.levels[level].data());
      w = w > 1 ? w / 2 : 1;
      h = h > 1 ? h / 2 : 1;
    }
    textures.tiles.push_back(tile);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

const ReliefTextures& CurrentReliefTextures() { return textures; }

void ReleaseReliefTextures() {
  for (const ReliefTextures::Tile& t : textures.tiles) glDeleteTextures(1, &t.id);
  textures = ReliefTextures{};
}

int ContextTextureLimit() {
  GLint most = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
  return most > 1 ? most : 64;
}
