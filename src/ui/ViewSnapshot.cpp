// Keeping what is on screen. Pictures of the view: the pixels come from the frame's back
// buffer once the terrain is drawn and before the overlay, the panel and the help card go
// over it. The mesh on screen: written as it is drawn.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "Brackenholmer.h"
#include "CommandLine.h"
#include "CurrentDrawScales.h"
#include "FrameStats.h"
#include "Legend.h"
#include "LookGlobals.h"
#include "MeshExport.h"
#include "RecordedFlight.h"
#include "TempFile.h"
#include "TextureRgb.h"
#include "Snapshot.h"

namespace {

bool snapshot_requested = false;

// The window draws nothing while nothing changes: this frame takes the notice away.
void NoticeOver(int) { glutPostRedisplay(); }

// The console line, and the overlay's notice for a while.
void Tell(const std::string& line) {
  printf("\t%s\n\n", line.c_str());
  fflush(stdout);
  ShowOverlayNotice(line, glutGet(GLUT_ELAPSED_TIME) + kSnapshotNoticeMs);
  glutTimerFunc(kSnapshotNoticeMs + 20, NoticeOver, 0);
  glutPostRedisplay();
}

std::string FullPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

// The camera on screen as --camera gives it.
CameraPlace ViewCamera() {
  return CameraPlace{Viewer.cam_x, Viewer.cam_y, Viewer.cam_z, Viewer.cam_x_angle - 90.0, Viewer.cam_y_angle};
}

// The command line that draws the same picture without a window; the model's turns are
// not among its options, so only an unturned model gets one.
void TellCommandLine(const std::string& picture, int w, int h) {
  if (angle_x != 0 || angle_y != 0 || angle_z != 0 || grid_file.empty()) return;
  const CameraPlace camera = ViewCamera();
  std::string line = "The same picture without a window: brackenholmer " + command_line::ShellWord(grid_file);
  if (!texture_file.empty()) line += " " + command_line::ShellWord(texture_file);
  line += " --snapshot " + command_line::ShellWord(std::filesystem::path(picture).stem().string() + "-offscreen.png") + " --size " +
          std::to_string(w) + "x" + std::to_string(h) + command_line::DescribeSettings(camera);
  printf("\t%s\n\n", line.c_str());
  fflush(stdout);
}

}  // namespace

void RequestSnapshot() {
  snapshot_requested = true;
  glutPostRedisplay();
}

bool SnapshotRequested() { return snapshot_requested; }

bool SaveRequestedSnapshot() {
  if (!snapshot_requested) return false;
  snapshot_requested = false;
  // The next frame, which Tell asks for, takes the legend away again if the window shows none.
  const bool legend = LegendShown(legend_in_pictures);
  if (legend) DrawLegend();

  int w = 0, h = 0;
  const std::vector<unsigned char> top_down = ReadViewPixels(&w, &h);
  std::string written;
  if (const Status saved = snapshot::SavePng(".", snapshot_stem, w, h, top_down.data(), &written); saved.ok()) {
    Tell("Saved the view to " + FullPath(written));
    TellCommandLine(written, w, h);
  } else {
    Tell("Could not save the view: " + saved.reason());
  }
  return legend;
}

void ExportDrawnMesh() {
  const IndexedMesh& mesh = Viewer.DrawnMesh();
  mesh_export::Options options;
  options.base = export_base != 0;
  options.texture = texture_file;
  options.units_per_metre = input.units_per_metre;
  const char* const endings_by_format[] = {".obj", ".stl", ".ply", ".glb"};
  const int format = std::clamp(export_format, 0, 3);
  TextureRgb drape;
  if (format == 3 && !texture_file.empty() && ReadTextureRgb(texture_file, &drape).ok()) {
    options.texture_rgb = drape.rgb.data();
    options.texture_width = drape.width;
    options.texture_height = drape.height;
  }
  // Numbered as the pictures are; an existing file is never replaced.
  // The OBJ's material takes the same number.
  std::vector<std::string> endings{endings_by_format[format]};
  if (format == 0 && !options.texture.empty()) endings.push_back(".mtl");
  const std::string written = snapshot::FreeNumberedName(snapshot_stem, endings);
  if (written.empty()) {
    Tell("Could not save the mesh: all numbers up to " + std::to_string(snapshot::kMaxNumber) + " are taken");
    return;
  }
  mesh_export::Written counts;
  const Status saved = mesh_export::Write(mesh, input, normales, CurrentDrawScales(), written, options, &counts);
  if (saved.ok())
    Tell("Saved the mesh (" + std::to_string(counts.triangles) + " triangles) to " + FullPath(written));
  else
    Tell(saved.reason());
}

void AddViewKeyframe() {
  RecordKeyframe(ViewCamera(), glutGet(GLUT_ELAPSED_TIME));
  const Keyframe& added = recorded_flight.back();
  char line[96];
  std::snprintf(line, sizeof line, "Keyframe %zu of the flight at %.1f s", recorded_flight.size(), added.seconds);
  Tell(line);
}

void RemoveLastKeyframe() {
  if (!DropLastKeyframe()) return;
  Tell("Took the last keyframe away: " + std::to_string(recorded_flight.size()) + " left");
}

void SaveRecordedFlight() {
  if (recorded_flight.size() < 2) {
    Tell("A flight needs two keyframes at least: k adds the view as one");
    return;
  }
  const std::string written = snapshot::FreeNumberedName(snapshot_stem, {".flight"});
  if (written.empty()) {
    Tell("Could not save the flight: all numbers up to " + std::to_string(snapshot::kMaxNumber) + " are taken");
    return;
  }
  if (const Status saved = mesh_export::WriteWholeFile(written, FlightText(recorded_flight)); !saved.ok()) {
    Tell(saved.reason());
    return;
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", FlightSeconds(recorded_flight));
  Tell("Saved the flight (" + std::to_string(recorded_flight.size()) + " keyframes, " + seconds + ") to " +
       FullPath(written));
  // The line that renders it without a window.
  std::string line = "Its video: brackenholmer " + command_line::ShellWord(grid_file);
  if (!texture_file.empty()) line += " " + command_line::ShellWord(texture_file);
  line += " --flight " + command_line::ShellWord(written) + " --video " +
          command_line::ShellWord(std::filesystem::path(written).stem().string() + ".mp4") +
          command_line::DescribeSettings(ViewCamera());
  // The flight gives the cameras: the start camera is left out.
  line.erase(line.rfind(" --camera "));
  printf("\t%s\n\n", line.c_str());
  fflush(stdout);
}
