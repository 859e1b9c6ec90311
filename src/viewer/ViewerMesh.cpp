// The mesh on screen: the viewer's globals gathered into the mesh layer's settings,
// requests sent to the worker thread (or built at once when meshes are not built in the
// background), and finished meshes adopted between frames.
#include "Brackenholmer.h"
#include "CurrentViewPose.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "MeshWorker.h"
#include "Sampling.h"

namespace {

// Destroyed at exit, which stops a build in progress and joins the thread.
MeshWorker& Worker() {
  static MeshWorker worker([](const mesh::Settings& s, const std::function<bool()>& superseded) {
    return mesh::BuildIndexedMesh(input, s, superseded);
  });
  return worker;
}

// The view of the last request for a mesh that follows the screen.
mesh::ViewPose requested_view;

mesh::Settings CurrentRequest() {
  const mesh::Settings s = mesh::CurrentSettings();
  requested_view = s.screen.pose;
  return s;
}

IndexedMesh BuildCurrentMesh() { return mesh::BuildIndexedMesh(input, CurrentRequest()); }

}  // namespace

mesh::Settings mesh::CurrentSettings() {
  Settings s;
  s.mode = mesh_mode;
  s.precision = max_precision;
  s.bound = max_approx_error;
  s.adaptive = mesh_simplification != 0;
  s.size = terrain_size;
  s.border_1 = terrain_border_1;
  s.border_2 = terrain_border_2;
  s.budget = mesh_triangle_budget;
  s.show_nodata = show_nodata != 0;
  s.strict = strict_error != 0;
  s.screen.on = screen_error != 0;
  s.screen.bound_px = max_screen_error;
  s.screen.cap = screen_triangle_cap;
  if (s.screen.on) s.screen.pose = CurrentViewPose();
  // A window shows a coarse mesh at once while a grid's error hierarchy is made.
  s.screen.coarse_first = mesh_builds_in_background && !Viewer.DrawnMesh().screen.coarse;
  return s;
}

Vertex Brackenholmer::CreateVertex(float x, float z) { return mesh::SampleVertex(input, x, z); }

bool Brackenholmer::ApproxError(Quad q) { return mesh::QuadStrays(input, q, max_approx_error); }

bool Brackenholmer::ApproxError(Triangle t) { return mesh::TriangleMisses(input, t, max_approx_error); }

bool MeshBuildPending() { return Worker().Pending(); }

void Brackenholmer::AdoptMesh(IndexedMesh mesh) {
  // The console names a limit when the limited mesh comes on screen, once.
  mesh::PrintLimitLine(mesh.limit_line);
  drawn_mesh_ = std::move(mesh);
  ++drawn_version_;
  triangle_count = static_cast<int>(drawn_mesh_.triangle_count);
}

// A mesh that follows the screen is asked for again when the view moved since the last
// request, once the build under way (if any) is done, so that a moving camera never starves
// the worker; and again after a coarse first mesh, for the refined one.
namespace {

bool ViewWantsMesh(const IndexedMesh& drawn) {
  if (!screen_error || (mesh_builds_in_background && Worker().Pending())) return false;
  return drawn.screen.coarse || !(CurrentViewPose() == requested_view);
}

}  // namespace

bool Brackenholmer::UpdateMesh() {
  if (ViewWantsMesh(drawn_mesh_)) refresh_mesh = true;
  // The flag is cleared first so a request made during the build is not lost.
  if (refresh_mesh) {
    refresh_mesh = false;
    if (!mesh_builds_in_background) {
      // The old mesh goes first, so the two are never held at once.
      AdoptMesh(IndexedMesh{});
      AdoptMesh(BuildCurrentMesh());
      return true;
    }
    Worker().Request(CurrentRequest());
  }
  if (std::optional<IndexedMesh> finished = Worker().Take()) {
    AdoptMesh(std::move(*finished));
    // No frame may follow this one: a view that moved meanwhile is asked for now.
    if (ViewWantsMesh(drawn_mesh_)) Worker().Request(CurrentRequest());
    return true;
  }
  return false;
}

void Brackenholmer::WaitForMesh() {
  if (std::optional<IndexedMesh> finished = Worker().WaitAndTake()) AdoptMesh(std::move(*finished));
}
