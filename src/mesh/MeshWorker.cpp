#include "MeshWorker.h"

#include "MeshList.h"

MeshWorker::~MeshWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    stop_flag_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void MeshWorker::Request(const mesh::Settings& s) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = s;
    ++requested_;
    newest_ = requested_;
    finished_.reset();  // an older mesh not yet taken is stale now
    if (!thread_.joinable()) thread_ = std::thread(&MeshWorker::Run, this);
  }
  changed_.notify_all();
}

bool MeshWorker::Pending() {
  std::lock_guard<std::mutex> lock(mutex_);
  return taken_ != requested_;
}

std::optional<IndexedMesh> MeshWorker::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!finished_) return std::nullopt;
  std::optional<IndexedMesh> mesh = std::move(finished_);
  finished_.reset();
  taken_ = requested_;
  return mesh;
}

std::optional<IndexedMesh> MeshWorker::WaitAndTake() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return taken_ == requested_ || finished_.has_value(); });
  if (!finished_) return std::nullopt;
  std::optional<IndexedMesh> mesh = std::move(finished_);
  finished_.reset();
  taken_ = requested_;
  return mesh;
}

void MeshWorker::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || waiting_.has_value(); });
    if (stopping_) return;
    const mesh::Settings settings = *waiting_;
    const unsigned long number = requested_;
    waiting_.reset();
    lock.unlock();

    std::optional<IndexedMesh> built;
    try {
      built = build_(settings, [this, number] {
        return stop_flag_.load(std::memory_order_relaxed) ||
               newest_.load(std::memory_order_relaxed) != number;
      });
    } catch (const mesh::Superseded&) {
      // A newer request is waiting, or the worker is stopping.
    }

    lock.lock();
    if (built && number == requested_) {
      finished_ = std::move(built);
      changed_.notify_all();
    }
  }
}
