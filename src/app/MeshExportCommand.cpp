#include "MeshExportCommand.h"

#include <cstdio>
#include <string>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"
#include "MeshList.h"

int ExportMesh(const char* out, const char* texture, bool base) {
  if (!show_nodata && !GridHoldsHeights()) {
    printf("\tCannot export %s: %s.\n\n", out, kNoTerrainReason);
    return 1;
  }
  MeshWholeGrid();
  // With Screen Error the mesh is that of the view --camera and --size give.
  if (screen_error) ResetView();
  else Viewer.CalcNormales();
  if (NormalTableMissing()) {
    printf("\tCannot export %s: not enough memory for the normals of the grid.\n\n", out);
    return 1;
  }
  const IndexedMesh mesh = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  mesh::PrintLimitLine(mesh.limit_line);
  mesh_export::Options options;
  options.base = base;
  options.units_per_metre = input.units_per_metre;
  if (texture != nullptr) options.texture = texture;
  mesh_export::Written written;
  const Status saved = mesh_export::Write(mesh, input, normales, CurrentDrawScales(), out, options, &written);
  if (!saved.ok()) {
    printf("\t%s\n\n", saved.reason().c_str());
    return 1;
  }
  printf("\tWrote %zu vertices and %zu triangles to %s.\n\n", written.vertices, written.triangles, out);
  return 0;
}
