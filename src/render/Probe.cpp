#include "Probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "IndexedMesh.h"
#include "TerrainLoader.h"

std::string probe_text;

bool GridPositionAt(double x, double z, int rows, int cols, const DrawScales& scales, GridPosition& at) {
  if (!(scales.column > 0) || !(scales.row > 0)) return false;
  // The drawing moves the footprint by half its extent so that it is centred.
  const double column = (x + 0.5 * cols * scales.column) / scales.column;
  const double row = (z + 0.5 * rows * scales.row) / scales.row;
  if (!(column > -0.5 && column < cols - 0.5 && row > -0.5 && row < rows - 0.5)) return false;
  at.column = std::clamp(column, 0.0, cols - 1.0);
  at.row = std::clamp(row, 0.0, rows - 1.0);
  return true;
}

bool GridSpotAt(double x, double z, int rows, int cols, const DrawScales& scales, GridSpot& spot) {
  GridPosition at;
  if (!GridPositionAt(x, z, rows, cols, scales, at)) return false;
  spot.column = static_cast<int>(std::lround(at.column));
  spot.row = static_cast<int>(std::lround(at.row));
  return true;
}

bool MeshHeightAt(const IndexedMesh& m, const GridSpot& spot, double& height) {
  const long long px = spot.column, pz = spot.row;
  for (size_t t = 0; t + 2 < m.indices.size(); t += 3) {
    const IndexedMesh::Point a = m.points[m.indices[t]], b = m.points[m.indices[t + 1]], c = m.points[m.indices[t + 2]];
    // Twice the signed areas, in whole grid steps: the point is inside (edges included)
    // when the three sub-areas share the triangle's sign.
    const long long area = (long long)(b.x - a.x) * (c.z - a.z) - (long long)(c.x - a.x) * (b.z - a.z);
    if (area == 0) continue;
    const long long wa = (b.x - px) * (c.z - pz) - (c.x - px) * (b.z - pz);
    const long long wb = (c.x - px) * (a.z - pz) - (a.x - px) * (c.z - pz);
    const long long wc = area - wa - wb;
    if (area > 0 ? (wa < 0 || wb < 0 || wc < 0) : (wa > 0 || wb > 0 || wc > 0)) continue;
    height = (static_cast<double>(wa) * input.values[a.z][a.x] + static_cast<double>(wb) * input.values[b.z][b.x] +
              static_cast<double>(wc) * input.values[c.z][c.x]) / static_cast<double>(area);
    return true;
  }
  return false;
}

std::string ProbeText(const GridSpot& spot, bool mesh_known, double mesh_height) {
  std::string text;
  char part[96];
  auto append = [&](int written) { text.append(part, std::min<size_t>(std::max(written, 0), sizeof part - 1)); };
  append(std::snprintf(part, sizeof part, "Row %d, col %d", spot.row, spot.column));
  const GridPlace& place = input.place;
  if (place.known) {
    // Row 0 is the northern edge; a grid point stands for the centre of its cell.
    const double east = place.left + (spot.column + 0.5) * place.cell_x;
    const double north = place.bottom + (input.rows - spot.row - 0.5) * place.cell_y;
    if (place.degrees) {
      append(std::snprintf(part, sizeof part, ", %.4f %c %.4f %c", std::fabs(north), north < 0 ? 'S' : 'N',
                           std::fabs(east), east < 0 ? 'W' : 'E'));
    } else {
      append(std::snprintf(part, sizeof part, ", x %.1f y %.1f", east, north));
    }
  }
  const int h = input.values[spot.row][spot.column];
  if (IsNoData(h))
    append(std::snprintf(part, sizeof part, ": NODATA"));
  else if (input.units_per_metre == 1)
    append(std::snprintf(part, sizeof part, ": %d m", h));
  else
    append(std::snprintf(part, sizeof part, ": %.2f m", Metres(h)));
  // The drawn surface to a metre, or to a centimetre on a grid of finer units.
  if (mesh_known && input.units_per_metre == 1)
    append(std::snprintf(part, sizeof part, ", mesh %.0f m", mesh_height));
  else if (mesh_known)
    append(std::snprintf(part, sizeof part, ", mesh %.2f m", Metres(mesh_height)));
  return text;
}
