// The mesh on screen: requests go to the worker thread (or are built at once when meshes
// are not built in the background), and finished meshes are adopted between frames.
#include "Brackenholmer.h"
#include "MeshList.h"
#include "MeshWorker.h"

namespace {

// Destroyed at exit, which stops a build in progress and joins the thread.
MeshWorker& Worker() {
  static MeshWorker worker;
  return worker;
}

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
  return s;
}

bool MeshBuildPending() { return Worker().Pending(); }

void Brackenholmer::AdoptMesh(IndexedMesh mesh) {
  // The console names a limit when the limited mesh comes on screen, once.
  mesh::PrintLimitLine(mesh.limit_line);
  drawn_mesh_ = std::move(mesh);
  ++drawn_version_;
  triangle_count = static_cast<int>(drawn_mesh_.triangle_count);
}

bool Brackenholmer::UpdateMesh() {
  // The flag is cleared first so a request made during the build is not lost.
  if (refresh_mesh) {
    refresh_mesh = false;
    if (!mesh_builds_in_background) {
      // The old mesh goes first, so the two are never held at once.
      AdoptMesh(IndexedMesh{});
      AdoptMesh(mesh::BuildIndexedMesh(mesh::CurrentSettings()));
      return true;
    }
    Worker().Request(mesh::CurrentSettings());
  }
  if (std::optional<IndexedMesh> finished = Worker().Take()) {
    AdoptMesh(std::move(*finished));
    return true;
  }
  return false;
}

void Brackenholmer::WaitForMesh() {
  if (std::optional<IndexedMesh> finished = Worker().WaitAndTake()) AdoptMesh(std::move(*finished));
}
