// How long a sun change takes to show as new shadows, as the window does it: relief shading
// with shadows on a fractal grid (BenchGrids.h) cut to side x side, drawn off screen at
// 1024 x 768 frame after frame while the worker makes the new shading; the time from the
// change to the first frame that shows it, and the longest frame meanwhile.
//   bench_relief_swap [side] [plain]
#include <GL/osmesa.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BenchGrids.h"
#include "Brackenholmer.h"
#include "LookGlobals.h"
#include "ReliefTextures.h"
#include "TerrainDrawing.h"
#include "ViewerRelief.h"

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int side = argc > 1 ? std::atoi(argv[1]) : 3601;
  const bool plain = argc > 2 && std::strcmp(argv[2], "plain") == 0;
  int full = 2;
  while (full + 1 < side) full *= 2;
  input = DiamondSquare(full + 1, kFractalSeed);
  input.rows = input.cols = side;
  input.grid_space = 30;

  constexpr int kWidth = 1024, kHeight = 768;
  std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  if (context == nullptr || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight)) return 1;
  width = kWidth;
  height = kHeight;
  char program[] = "bench";
  char* args[] = {program, nullptr, nullptr};
  SetUpScene(1, args);
  relief_shading = 1;
  cast_shadows = 1;
  rendering_mode = plain ? 2 : 0;
  mesh_builds_in_background = true;

  const auto frame = [] {
    RenderScene();
    glFinish();
  };
  // The first shading and mesh.
  do frame(); while (ReliefPending() || MeshBuildPending());

  std::vector<double> swaps, longest;
  for (int change = 0; change < 6; ++change) {
    sun_azimuth = static_cast<float>(std::fmod(sun_azimuth + 47, 360));
    const Clock::time_point start = Clock::now();
    double worst = 0;
    do {
      const Clock::time_point f = Clock::now();
      frame();
      worst = std::max(worst, Since(f));
    } while (ReliefPending());
    swaps.push_back(Since(start));
    longest.push_back(worst);
  }
  std::sort(swaps.begin(), swaps.end());
  std::printf("%d x %d, %s, shadows: sun change to new shadows on screen %.0f ms median, %.0f ms worst; "
              "longest frame meanwhile %.0f ms\n",
              side, side, plain ? "plain" : "colour ramp baked in", 1000 * swaps[swaps.size() / 2], 1000 * swaps.back(),
              1000 * *std::max_element(longest.begin(), longest.end()));
  ReleaseTerrainArrays();
  ReleaseReliefTextures();
  OSMesaDestroyContext(context);
  return 0;
}
