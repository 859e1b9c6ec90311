#include "ReliefImage.h"

#include <algorithm>

std::vector<TileSpan> TileSpans(int points, int limit) {
  std::vector<TileSpan> spans;
  if (points <= 0) return spans;
  // Tiles of equal size, as few as fit: a tile spans at most limit - 1 gaps between points.
  const int steps = points - 1;
  const int tiles = std::max(1, (steps + limit - 2) / (limit - 1));
  int first = 0;
  for (int t = 0; t < tiles; ++t) {
    const int last = static_cast<int>(static_cast<long long>(steps) * (t + 1) / tiles);
    spans.push_back({first, std::max(1, last - first + 1)});
    first = last;
  }
  return spans;
}

std::vector<uint8_t> HalveLevel(const std::vector<uint8_t>& level, int w, int h, int channels) {
  const int hw = std::max(1, w / 2), hh = std::max(1, h / 2);
  std::vector<uint8_t> half(static_cast<size_t>(hw) * hh * channels);
  for (int y = 0; y < hh; ++y) {
    const int y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
    for (int x = 0; x < hw; ++x) {
      const int x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
      for (int c = 0; c < channels; ++c) {
        const auto at = [&](int xx, int yy) { return level[(static_cast<size_t>(yy) * w + xx) * channels + c]; };
        const int sum = at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1);
        half[(static_cast<size_t>(y) * hw + x) * channels + c] = static_cast<uint8_t>((sum + 2) / 4);
      }
    }
  }
  return half;
}

namespace {

// The texels of `tile` cut out of the whole grid's pixels.
std::vector<uint8_t> CutTile(const std::vector<uint8_t>& pixels, int grid_cols, int channels, const ReliefTile& tile) {
  std::vector<uint8_t> level(static_cast<size_t>(tile.cols) * tile.rows * channels);
  const size_t row_bytes = static_cast<size_t>(tile.cols) * channels;
  for (int r = 0; r < tile.rows; ++r) {
    const size_t from = (static_cast<size_t>(tile.row0 + r) * grid_cols + tile.col0) * channels;
    std::copy_n(pixels.data() + from, row_bytes, level.data() + static_cast<size_t>(r) * row_bytes);
  }
  return level;
}

}  // namespace

ReliefImage TileReliefImage(std::vector<uint8_t> pixels, int grid_cols, int grid_rows, int channels, int limit) {
  ReliefImage image;
  image.channels = channels;
  image.grid_cols = grid_cols;
  image.grid_rows = grid_rows;
  const std::vector<TileSpan> row_spans = TileSpans(grid_rows, limit), col_spans = TileSpans(grid_cols, limit);
  const bool one_tile = row_spans.size() == 1 && col_spans.size() == 1;
  for (const TileSpan& rows : row_spans) {
    for (const TileSpan& cols : col_spans) {
      ReliefTile tile;
      tile.col0 = cols.first;
      tile.row0 = rows.first;
      tile.cols = cols.count;
      tile.rows = rows.count;
      // One tile takes the pixels as they are, without a second copy of the grid's size.
      tile.levels.push_back(one_tile ? std::move(pixels) : CutTile(pixels, grid_cols, channels, tile));
      int w = tile.cols, h = tile.rows;
      while (w > 1 || h > 1) {
        tile.levels.push_back(HalveLevel(tile.levels.back(), w, h, channels));
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
      }
      image.tiles.push_back(std::move(tile));
    }
  }
  return image;
}
