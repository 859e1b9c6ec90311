// Builds meshes on a thread of its own, so that the window keeps answering while a big
// mesh is made. The main loop posts requests and picks up finished meshes between frames.
//
// Hand-overs: a request's settings are copied into the worker under its mutex; the grid
// the build function reads is read by both threads but written by neither while the
// worker runs; a
// finished mesh is moved out under the mutex. A newer request supersedes the one in
// progress: the build notices it through an atomic counter and stops, and a stale
// result is dropped, never handed out.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "IndexedMesh.h"
#include "MeshBuild.h"

class MeshWorker {
 public:
  // Makes the mesh of a request's settings; asks `superseded` now and then and may end
  // with mesh::Superseded when it answers true.
  using Build = std::function<IndexedMesh(const mesh::Settings&, const std::function<bool()>& superseded)>;

  explicit MeshWorker(Build build) : build_(std::move(build)) {}
  MeshWorker(const MeshWorker&) = delete;
  MeshWorker& operator=(const MeshWorker&) = delete;
  // Stops the build in progress and waits for the thread.
  ~MeshWorker();

  // Asks for the mesh of `s`; starts the thread on first use.
  void Request(const mesh::Settings& s);
  // True from a request until its mesh has been taken.
  bool Pending();
  // The mesh of the newest request once it is finished, else nothing.
  std::optional<IndexedMesh> Take();
  // Waits for the mesh of the newest request (nothing when no request is pending).
  std::optional<IndexedMesh> WaitAndTake();

 private:
  void Run();

  const Build build_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
  bool stopping_ = false;
  std::optional<mesh::Settings> waiting_;  // a request the thread has not started yet
  unsigned long requested_ = 0;            // number of the newest request
  unsigned long taken_ = 0;                // number of the request whose mesh was taken last
  std::optional<IndexedMesh> finished_;    // the newest request's mesh, until taken
  // Copy of requested_ that a running build polls without the lock.
  std::atomic<unsigned long> newest_{0};
  std::atomic<bool> stop_flag_{false};
};
