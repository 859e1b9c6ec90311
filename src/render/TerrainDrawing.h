// Drawing a mesh of a grid in the current GL context, given everything it draws.
#pragma once

#include "DrawScales.h"
#include "GLScalars.h"
#include "IndexedMesh.h"
#include "Mesh.h"
#include "ReliefTextures.h"
#include "TerrainLoader.h"
#include "VertexArrays.h"

struct TerrainDrawing {
  const data* grid = nullptr;
  const IndexedMesh* mesh = nullptr;
  unsigned long mesh_version = 0;          // a new number for every new mesh
  const Normal* const* normals = nullptr;  // the grid's normal table
  unsigned long normals_version = 0;       // a new number for every new table
  Shading shading = Shading::kPlain;
  GLuint texture = 0;                      // for texture shading
  DrawScales scales;
  double column_ratio = 1;                 // columns drawn this many times as far apart as rows
  float xz_multiplier = 1;
  bool wireframe = false;
  bool buffers_allowed = true;             // buffer objects where the context has them
  // Relief shading over the whole grid, in place of the light: it modulates the colour, the
  // drape or plain white. Null: none.
  const ReliefTextures* relief = nullptr;
};

// Draws `what` centred on the origin, with the arrays kept from the last call when they
// hold the same figures.
void DrawTerrain(const TerrainDrawing& what);

// Releases the arrays and their buffers (before a context goes).
void ReleaseTerrainArrays();

// Whether the current context has buffer objects (OpenGL 1.5).
bool ContextHasBuffers();
