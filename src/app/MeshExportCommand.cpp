#include "MeshExportCommand.h"

#include <cstdio>
#include <string>

#include "Brackenholmer.h"
#include "ConsoleProgress.h"
#include "CurrentDrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"
#include "MeshList.h"
#include "PrintMesh.h"
#include "TextureRgb.h"

int ExportMesh(const char* out, const char* texture, const command_line::Options& command) {
  if (!show_nodata && !GridHoldsHeights()) {
    printf("\tCannot export %s: %s.\n\n", out, kNoTerrainReason);
    return 1;
  }
  // A drape that cannot be decoded is left out, as the window then draws without it.
  TextureRgb drape;
  mesh_export::Format format;
  if (texture != nullptr && mesh_export::FormatOf(out, format) && format == mesh_export::Format::kGlb) {
    if (const Status read = ReadTextureRgb(texture, &drape); !read.ok()) {
      printf("\tThe texture %s is left out of %s: %s.\n\n", texture, out, read.reason().c_str());
      drape = TextureRgb{};
    }
  }
  ConsoleProgress progress(std::string("Writing ") + out);
  MeshWholeGrid();
  // With Screen Error the mesh is that of the view --camera and --size give.
  if (screen_error) ResetView();
  else Viewer.CalcNormales();
  if (NormalTableMissing()) {
    progress.Done();
    printf("\tCannot export %s: not enough memory for the normals of the grid.\n\n", out);
    return 1;
  }
  // A model to print is a solid: its mesh joins its triangles edge to edge.
  const mesh::Settings settings = mesh::CurrentSettings();
  const IndexedMesh mesh =
      command.print_size > 0 ? mesh::BuildPrintMesh(input, settings) : mesh::BuildIndexedMesh(input, settings);
  progress.Update(0.6);
  mesh_export::Options options;
  options.base = command.base;
  options.print_size_mm = command.print_size;
  options.base_thickness_mm = command.base_thickness;
  options.units_per_metre = input.units_per_metre;
  if (texture != nullptr) options.texture = texture;
  if (!drape.rgb.empty()) {
    options.texture_rgb = drape.rgb.data();
    options.texture_width = drape.width;
    options.texture_height = drape.height;
  }
  mesh_export::Written written;
  const Status saved = mesh_export::Write(mesh, input, normales, CurrentDrawScales(), out, options, &written);
  progress.Done();
  mesh::PrintLimitLine(mesh.limit_line);
  if (!saved.ok()) {
    printf("\t%s\n\n", saved.reason().c_str());
    return 1;
  }
  printf("\tWrote %zu vertices and %zu triangles to %s.\n\n", written.vertices, written.triangles, out);
  return 0;
}
