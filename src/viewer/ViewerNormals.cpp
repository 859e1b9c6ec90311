// The normal table `normales` of the loaded grid, made by the mesh layer.
#include "Brackenholmer.h"
#include "Normals.h"

namespace {

// Size of the table `normales` currently holds, so a second build can release it.
int normal_rows = 0;
// Whether the points beside NODATA cells hold the normals of the cells shown as heights.
bool table_shows_nodata = false;

}  // namespace

Normal Brackenholmer::CreateNormal(int x0, int z0, int x1, int z1, int x2, int z2) {
  return mesh::FaceNormal(input, x0, z0, x1, z1, x2, z2);
}

// Leaves `normales` null when the table does not fit into memory; the caller refuses the
// grid then.
void Brackenholmer::CalcNormales() {
  mesh::ReleaseNormalTable(normales, normal_rows);
  normal_rows = 0;
  ++normal_table_version;
  const bool shown = !input.has_nodata || show_nodata != 0;
  normales = mesh::MakeNormalTable(input, shown);
  if (normales == nullptr) return;
  normal_rows = input.rows;
  table_shows_nodata = shown;
}

bool NormalTableMissing() { return !screen_error && normales == nullptr; }

void Brackenholmer::MatchNormalsToNoData(bool shown) {
  if (normales == nullptr || !input.has_nodata || table_shows_nodata == shown) return;
  mesh::RefillBesideNoData(input, normales, shown);
  table_shows_nodata = shown;
  ++normal_table_version;
}
