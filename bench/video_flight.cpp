// A flight video as --video renders it: 10 seconds at 30 fps (301 frames), 1280 x 720 H.264,
// of the 1201 x 1201 grid (made in the build folder), along five keyframes from the start
// view down over the terrain and round it. Once with the whole grid's mesh (made once) and
// once with Screen Error at 1 px (a mesh for every frame's camera): the total time and the
// time a frame split into mesh, drawing, read-back and encoding.
//   bench_video_flight [whole|screen ...] (both by default)
// The video goes to the build folder and is removed; --keep leaves it there.
#include <cstdio>
#include <cstring>
#include <string>
#include <chrono>
#include <vector>

#include "Brackenholmer.h"
#include "CameraMath.h"
#include "OffscreenVideo.h"
#include "TerrainLoader.h"

namespace {

using Clock = std::chrono::steady_clock;

Flight MakeFlight() {
  const double side = static_cast<double>(input.rows) * input.grid_space;
  const double lift = camera_math::StartLift(side, std::max(input.y_min, input.y_max) * static_cast<double>(y_multiplier));
  return {
      {{0, side + lift, 1.5 * side, 30, 0}, 0},
      {{0.5 * side, 0.45 * side, 0.8 * side, 35, 20}, 2.5},
      {{0.6 * side, 0.25 * side, 0, 30, 70}, 5},
      {{0, 0.3 * side, -0.6 * side, 25, 160}, 7.5},
      {{-0.7 * side, 0.6 * side, -0.3 * side, 35, 250}, 10},
  };
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> runs;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep") == 0) keep = true;
    else runs.push_back(argv[i]);
  }
  if (runs.empty()) runs = {"whole", "screen"};

  std::string grid = std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc";
  TerrainLoader loader;
  if (!loader.LoadTerrainFile(grid.c_str())) {
    std::printf("%s\n", loader.msg);
    return 1;
  }
  const Flight flight = MakeFlight();
  char program[] = "bench";
  char* args[] = {program, grid.data(), nullptr};
  for (const std::string& run : runs) {
    screen_error = run == "screen";
    max_screen_error = 1;
    const std::string out = std::string(GENERATED_DATA_DIR) + "/bench_video_" + run + ".mp4";
    std::remove(out.c_str());
    VideoTimes t;
    const Clock::time_point start = Clock::now();
    if (RenderVideo(out.c_str(), flight, 30, 1280, 720, 2, args, &t) != 0) return 1;
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    const double ms = 1000.0 / t.frames;
    std::printf("%s: %d frames of 1280 x 720 in %.1f s (%.1f fps); a frame: mesh %.1f ms, draw %.1f ms, "
                "read-back %.1f ms, encode %.1f ms\n",
                run == "screen" ? "Screen Error 1 px" : "whole-grid mesh", t.frames, total, t.frames / total,
                t.mesh * ms, t.draw * ms, t.read_back * ms, t.encode * ms);
    std::fflush(stdout);
    if (!keep) std::remove(out.c_str());
  }
  return 0;
}
