// The terrain on screen: the viewer's mesh, normals, shading and scales, drawn.
#include <GL/gl.h>

#include "Brackenholmer.h"
#include "LookGlobals.h"
#include "ReliefTextures.h"
#include "ViewerRelief.h"
#include "CurrentDrawScales.h"
#include "TerrainColor.h"
#include "TerrainDrawing.h"

bool terrain_vertex_buffers_allowed = true;

void Brackenholmer::PickTerrainColor(int height) {
  const RGBColor c = TerrainColor(Metres(height));
  glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
}

void Brackenholmer::RenderTriangles() {
  UpdateMesh();
  // A mesh without normals of its own after Screen Error was turned off needs the grid's.
  if (drawn_mesh_.normals.empty() && !drawn_mesh_.indices.empty() && normales == nullptr) CalcNormales();
  // The normals change with "Show NODATA" when the mesh built for it arrives, not before.
  if (!drawn_mesh_.indices.empty()) MatchNormalsToNoData(drawn_mesh_.shows_nodata);
  TerrainDrawing what;
  what.grid = &input;
  what.mesh = &drawn_mesh_;
  what.mesh_version = drawn_version_;
  what.normals = normales;
  what.normals_version = normal_table_version;
  if (rendering_mode == 0)
    what.shading = Shading::kColor;
  else if (rendering_mode == 1 && texture_id != 0)
    what.shading = Shading::kTexture;
  what.texture = texture_id;
  what.scales = CurrentDrawScales();
  what.column_ratio = DrawnColumnRatio();
  what.xz_multiplier = xz_multiplier;
  what.wireframe = wireframe != 0;
  what.buffers_allowed = terrain_vertex_buffers_allowed;
  // Relief shading shows once made for the shading asked: a colour ramp baked in for
  // "Color", a shade alone for the drape and plain white.
  if (std::optional<ReliefImage> image = UpdateRelief()) UploadReliefTextures(*image);
  const ReliefTextures& relief = CurrentReliefTextures();
  if (ReliefWanted() && !relief.tiles.empty() && (relief.channels == 3) == (what.shading == Shading::kColor)) {
    what.relief = &relief;
    if (what.shading == Shading::kColor) what.shading = Shading::kPlain;
  }
  DrawTerrain(what);
}
