// Drawing the triangle list in immediate mode, coloured by height, textured or plain.
#include <GL/gl.h>

#include <climits>
#include <initializer_list>

#include "Brackenholmer.h"
#include "TerrainColor.h"

namespace {

// Drawn coordinates are whole height units, truncated toward zero; values beyond the int
// range (extreme heights times a large multiplier) saturate instead of overflowing.
inline GLint TruncateToInt(double v) {
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<GLint>(v);
}

enum class Shading { kColor, kTexture, kPlain };

}  // namespace

void Brackenholmer::PickTerrainColor(int height) {
  const RGBColor c = TerrainColor(height);
  glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
}

void Brackenholmer::RenderTriangles() {
  const float f = static_cast<float>(input.grid_space * static_cast<double>(xz_multiplier));

  // The flag is cleared first so a request made during the build is not lost.
  if (refresh_mesh) {
    refresh_mesh = false;
    if (mesh_mode != 0)
      CreateTSDTriangles();
    else
      CreateQSDTriangles();
  }

  // Centre the footprint on the origin: columns run along x, rows along z. Products in
  // double, as a large grid times grid_space times the scale may pass the int range.
  const double half_x = static_cast<double>(input.cols) * input.grid_space * 0.5 * xz_multiplier;
  const double half_z = static_cast<double>(input.rows) * input.grid_space * 0.5 * xz_multiplier;
  glTranslatef(static_cast<GLfloat>(-half_x), 0, static_cast<GLfloat>(-half_z));
  glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
  glColor3f(1, 1, 1);
  glDisable(GL_TEXTURE_2D);

  Shading shading = Shading::kPlain;
  if (rendering_mode == 0)
    shading = Shading::kColor;
  else if (rendering_mode == 1 && texture_id != 0)
    shading = Shading::kTexture;
  const double cols = input.cols;
  const double rows = input.rows;
  const double scale_xz = f;
  const double scale_y = y_multiplier;

  for (const TriangleList* node = Triangles; node != nullptr; node = node->next) {
    if (shading == Shading::kTexture) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture_id);
    }
    glBegin(GL_TRIANGLES);
    // Corners go a, c, b: counter-clockwise seen from above for the meshers' triangles.
    for (const Vertex* v : {&node->t.a, &node->t.c, &node->t.b}) {
      const Normal& n = normales[v->z][v->x];
      glNormal3f(n.x, n.y, n.z);
      if (shading == Shading::kColor)
        PickTerrainColor(v->y);
      else if (shading == Shading::kTexture)
        glTexCoord2f(static_cast<GLfloat>(v->x / cols), static_cast<GLfloat>(v->z / rows));
      glVertex3i(TruncateToInt(v->x * scale_xz), TruncateToInt(v->y * scale_y),
                 TruncateToInt(v->z * scale_xz));
    }
    glEnd();
  }
}
