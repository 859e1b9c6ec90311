// Drawing a mesh, coloured by height, textured or plain, from vertex arrays: buffer objects
// where the context has them (OpenGL 1.5), client arrays otherwise. The arrays are filled
// once per mesh and again only when something they hold changes.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "TerrainDrawing.h"

#include "CurrentColourRamp.h"

namespace {

// What the arrays on hand were filled for.
struct ArraysKey {
  unsigned long mesh_version = 0;
  unsigned long normals_version = 0;
  const Normal* const* normal_table = nullptr;
  Shading shading = Shading::kPlain;
  DrawScales scales;
  unsigned long ramp_version = 0;  // the colour ramp the colours come from
  bool buffers = false;

  bool operator==(const ArraysKey&) const = default;
};

enum Buffer { kPositions, kNormals, kColours, kTexcoords, kIndices, kBufferCount };

struct TerrainArrays {
  bool filled = false;
  ArraysKey key;
  VertexArrays client;             // drawn from directly without buffer objects
  GLuint buffers[kBufferCount] = {};
  unsigned long indices_version = 0;  // mesh whose indices the index buffer holds
};

TerrainArrays arrays;

}  // namespace

bool ContextHasBuffers() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
  return major > 1 || (major == 1 && minor >= 5);
}

namespace {

template <class T>
void Upload(GLenum target, GLuint buffer, const std::vector<T>& data) {
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
}

void HeightColourOf(double metres, float* rgb) {
  const RGBColor c = CurrentRampColour(metres);
  rgb[0] = static_cast<float>(c.r);
  rgb[1] = static_cast<float>(c.g);
  rgb[2] = static_cast<float>(c.b);
}

void Refill(const TerrainDrawing& what, const ArraysKey& key) {
  const IndexedMesh& mesh = *what.mesh;
  const unsigned long mesh_version = what.mesh_version;
  if (arrays.key.buffers != key.buffers) ReleaseTerrainArrays();
  FillVertexArrays(*what.grid, what.normals, mesh, key.shading, key.scales, arrays.client, HeightColourOf);
  if (key.buffers) {
    if (arrays.buffers[0] == 0) glGenBuffers(kBufferCount, arrays.buffers);
    Upload(GL_ARRAY_BUFFER, arrays.buffers[kPositions], arrays.client.positions);
    Upload(GL_ARRAY_BUFFER, arrays.buffers[kNormals], arrays.client.normals);
    Upload(GL_ARRAY_BUFFER, arrays.buffers[kColours], arrays.client.colours);
    Upload(GL_ARRAY_BUFFER, arrays.buffers[kTexcoords], arrays.client.texcoords);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (arrays.indices_version != mesh_version) {
      Upload(GL_ELEMENT_ARRAY_BUFFER, arrays.buffers[kIndices], mesh.indices);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
      arrays.indices_version = mesh_version;
    }
    // The driver holds its own copy now.
    arrays.client = VertexArrays{};
  }
  arrays.key = key;
  arrays.filled = true;
}

// Points an array at a buffer's start, or at the client copy.
const void* Source(Buffer b, const void* client) {
  if (!arrays.key.buffers) return client;
  glBindBuffer(b == kIndices ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER, arrays.buffers[b]);
  return nullptr;
}

void DrawArrays(const IndexedMesh& mesh) {
  const VertexArrays& c = arrays.client;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_INT, 0, Source(kPositions, c.positions.data()));
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, 0, Source(kNormals, c.normals.data()));
  if (arrays.key.shading == Shading::kColor) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_FLOAT, 0, Source(kColours, c.colours.data()));
  } else if (arrays.key.shading == Shading::kTexture) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, Source(kTexcoords, c.texcoords.data()));
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT,
                 Source(kIndices, mesh.indices.data()));
  if (arrays.key.buffers) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

// The mesh once a tile of the relief textures, on the second texture unit: texture
// coordinates come from the drawn positions (texel centres on the grid points), and with
// more than one tile, clip planes keep each tile's pass to the tile's part of the grid.
void DrawWithRelief(const TerrainDrawing& what, const IndexedMesh& mesh) {
  const ReliefTextures& relief = *what.relief;
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
  glDisable(GL_LIGHTING);
  glActiveTexture(GL_TEXTURE1);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  const double column = what.scales.column, row = what.scales.row;
  const bool clip = relief.tiles.size() > 1;
  for (const ReliefTextures::Tile& tile : relief.tiles) {
    glBindTexture(GL_TEXTURE_2D, tile.id);
    const GLfloat s_plane[] = {static_cast<GLfloat>(1.0 / (column * tile.cols)), 0, 0,
                               static_cast<GLfloat>((0.5 - tile.col0) / tile.cols)};
    const GLfloat t_plane[] = {0, 0, static_cast<GLfloat>(1.0 / (row * tile.rows)),
                               static_cast<GLfloat>((0.5 - tile.row0) / tile.rows)};
    glTexGenfv(GL_S, GL_OBJECT_PLANE, s_plane);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, t_plane);
    if (clip) {
      // Only the edges between tiles clip; the grid's own edges are left alone.
      const double west = tile.col0 * column, east = (tile.col0 + tile.cols - 1) * column;
      const double north = tile.row0 * row, south = (tile.row0 + tile.rows - 1) * row;
      const GLdouble planes[4][4] = {{1, 0, 0, -west}, {-1, 0, 0, east}, {0, 0, 1, -north}, {0, 0, -1, south}};
      const bool inner[4] = {tile.col0 > 0, tile.col0 + tile.cols < relief.grid_cols, tile.row0 > 0,
                             tile.row0 + tile.rows < relief.grid_rows};
      for (int i = 0; i < 4; ++i) {
        glClipPlane(GL_CLIP_PLANE0 + i, planes[i]);
        if (inner[i]) glEnable(GL_CLIP_PLANE0 + i);
        else glDisable(GL_CLIP_PLANE0 + i);
      }
    }
    glActiveTexture(GL_TEXTURE0);
    DrawArrays(mesh);
    glActiveTexture(GL_TEXTURE1);
  }
  glPopAttrib();
  glActiveTexture(GL_TEXTURE0);
}

}  // namespace

void ReleaseTerrainArrays() {
  if (arrays.buffers[0] != 0) glDeleteBuffers(kBufferCount, arrays.buffers);
  arrays = TerrainArrays{};
}

void DrawTerrain(const TerrainDrawing& what) {
  // Centre the footprint on the origin: columns run along x, rows along z.
  const data& grid = *what.grid;
  const DrawnHalf half = DrawnHalfOf(grid.rows, grid.cols, grid.grid_space, what.xz_multiplier, what.column_ratio);
  glTranslatef(static_cast<GLfloat>(-half.x), 0, static_cast<GLfloat>(-half.z));
  glPolygonMode(GL_FRONT_AND_BACK, what.wireframe ? GL_LINE : GL_FILL);
  glColor3f(1, 1, 1);
  glDisable(GL_TEXTURE_2D);

  const IndexedMesh& mesh = *what.mesh;
  if (mesh.indices.empty()) return;
  ArraysKey key;
  key.mesh_version = what.mesh_version;
  key.normals_version = what.normals_version;
  key.normal_table = what.normals;
  key.shading = what.shading;
  key.scales = what.scales;
  key.ramp_version = what.shading == Shading::kColor ? ColourRampVersion() : 0;
  key.buffers = what.buffers_allowed && ContextHasBuffers();
  if (!arrays.filled || !(arrays.key == key)) Refill(what, key);

  if (key.shading == Shading::kTexture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, what.texture);
  }
  if (what.relief != nullptr && !what.relief->tiles.empty()) DrawWithRelief(what, mesh);
  else DrawArrays(mesh);
}
