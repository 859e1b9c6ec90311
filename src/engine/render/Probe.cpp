#include "Probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "TerrainLoader.h"

std::string probe_text;

bool GridSpotAt(double x, double z, int rows, int cols, const DrawScales& scales, GridSpot& spot) {
  if (!(scales.column > 0) || !(scales.row > 0)) return false;
  // The drawing moves the footprint by half its extent so that it is centred.
  const double column = (x + 0.5 * cols * scales.column) / scales.column;
  const double row = (z + 0.5 * rows * scales.row) / scales.row;
  if (!(column > -0.5 && column < cols - 0.5 && row > -0.5 && row < rows - 0.5)) return false;
  spot.column = static_cast<int>(std::lround(column));
  spot.row = static_cast<int>(std::lround(row));
  return true;
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
  else
    append(std::snprintf(part, sizeof part, ": %d m", h));
  if (mesh_known) append(std::snprintf(part, sizeof part, ", mesh %.0f m", mesh_height));
  return text;
}
