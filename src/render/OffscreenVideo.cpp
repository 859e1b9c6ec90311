#include "OffscreenVideo.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ConsoleProgress.h"
#include "FrameFolder.h"
#include "OffscreenRender.h"
#include "VideoEncoder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds since `start`, and `start` moved on to now.
double Lap(Clock::time_point* start) {
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - *start).count();
  *start = now;
  return seconds;
}

// The MP4 encoder or the PNG folder, behind one face.
struct FrameSink {
  bool folder = false;
  VideoEncoder video;
  FrameFolder pictures;

  Status Open(const std::string& path, int count, int w, int h, int fps) {
    return folder ? pictures.Open(path, count, w, h) : video.Open(path, w, h, fps);
  }
  Status Add(const unsigned char* rgb) { return folder ? pictures.Add(rgb) : video.Add(rgb); }
  Status Finish() { return folder ? pictures.Finish() : video.Finish(); }
};

// Draws every frame into the current context; prints the outcome. The exit status.
int DrawFrames(const char* path, const Flight& flight, int fps, int w, int h, const char* texture, VideoTimes* times) {
  if (!OffscreenCanDraw(path, texture)) return 1;
  const int count = FlightFrames(flight, fps);
  FrameSink sink;
  sink.folder = !std::string(path).empty() && std::string(path).back() == '/';
  if (const Status opened = sink.Open(path, count, w, h, fps); !opened.ok()) {
    printf("\tCannot render %s: %s.\n\n", path, opened.reason().c_str());
    return 1;
  }
  ConsoleProgress progress(std::string("Rendering ") + path);
  for (int i = 0; i < count; ++i) {
    // The frame's camera as --camera would give it: ResetView places it as for a picture.
    start_camera = CameraAt(flight, FrameSeconds(flight, fps, i));
    start_camera_given = true;
    ResetView();
    Clock::time_point lap = Clock::now();
    Viewer.UpdateMesh();
    times->mesh += Lap(&lap);
    const bool drawn = DrawPicture(path, &progress);
    times->draw += Lap(&lap);
    if (!drawn) return 1;
    int view_w = 0, view_h = 0;
    const std::vector<unsigned char> pixels = ReadViewPixels(&view_w, &view_h);
    times->read_back += Lap(&lap);
    const Status added = sink.Add(pixels.data());
    times->encode += Lap(&lap);
    if (!added.ok()) {
      progress.Done();
      printf("\tCannot render %s: %s.\n\n", path, added.reason().c_str());
      return 1;
    }
    ++times->frames;
    progress.Update(static_cast<double>(i + 1) / count);
  }
  Clock::time_point lap = Clock::now();
  const Status finished = sink.Finish();
  times->encode += Lap(&lap);
  progress.Done();
  if (!finished.ok()) {
    printf("\tCannot render %s: %s.\n\n", path, finished.reason().c_str());
    return 1;
  }
  printf("\tWrote %d frames (%d x %d, %d fps) to %s.\n\n", count, w, h, fps, path);
  return 0;
}

}  // namespace

int RenderVideo(const char* path, const Flight& flight, int fps, int w, int h, int argc, char** argv,
                VideoTimes* times) {
  VideoTimes own;
  if (times == nullptr) times = &own;
  *times = VideoTimes{};
  return DrawOffscreen(path, w, h, argc, argv,
                       [&] { return DrawFrames(path, flight, fps, w, h, argc > 2 ? argv[2] : nullptr, times); });
}
