// The worker thread that builds meshes: only the newest request is handed out, a result
// that a newer request made stale is dropped, and leaving stops a build in progress.
#include "MeshWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "GridValue.h"
#include "MeshList.h"

namespace {

using mesh_test::GridValue;
using mesh_test::WholeGrid;

// The worker of the viewer: the mesh layer's build over `grid`.
MeshWorker::Build BuildOver(const data& grid) {
  return [&grid](const mesh::Settings& s, const std::function<bool()>& superseded) {
    return mesh::BuildIndexedMesh(grid, s, superseded);
  };
}

TEST(MeshWorker, HandsOverOnlyTheNewestRequest) {
  const GridValue grid(257, 257);
  MeshWorker worker(BuildOver(grid));
  EXPECT_FALSE(worker.Pending());
  EXPECT_FALSE(worker.WaitAndTake().has_value());
  // A big build, superseded at once by small ones: only the last is ever handed out.
  worker.Request(WholeGrid(grid, 0, 11));
  worker.Request(WholeGrid(grid, 0, 2));
  worker.Request(WholeGrid(grid, 0, 1));
  EXPECT_TRUE(worker.Pending());
  const std::optional<IndexedMesh> m = worker.WaitAndTake();
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->precision, 1);
  EXPECT_EQ(m->triangle_count, 8);
  EXPECT_FALSE(worker.Pending());
  EXPECT_FALSE(worker.Take().has_value());
}

TEST(MeshWorker, TakeGivesNothingUntilTheMeshIsDone) {
  const GridValue grid(33, 33);
  MeshWorker worker(BuildOver(grid));
  worker.Request(WholeGrid(grid, 0, 3));
  std::optional<IndexedMesh> m;
  while (!(m = worker.Take())) EXPECT_TRUE(worker.Pending());
  EXPECT_EQ(m->triangle_count, 128);
  EXPECT_FALSE(worker.Pending());
}

// A latch per precision: the build of that precision tells that it started and waits
// until the test lets it go on. It ignores `superseded`, so a stale build still finishes
// with a mesh, which the worker must then drop.
class HeldBuilds {
 public:
  explicit HeldBuilds(const data& grid) : grid_(grid) {}

  MeshWorker::Build Build() {
    return [this](const mesh::Settings& s, const std::function<bool()>&) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        started_ = s.precision;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_ >= s.precision; });
      }
      return mesh::BuildIndexedMesh(grid_, s);
    };
  }
  void WaitUntilStarted(int precision) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return started_ == precision; });
  }
  void Release(int precision) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = precision;
    changed_.notify_all();
  }

 private:
  const data& grid_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int started_ = -1, released_ = -1;
};

TEST(MeshWorker, DropsTheFinishedMeshOfAnOlderRequest) {
  const GridValue grid(33, 33);
  HeldBuilds held(grid);
  MeshWorker worker(held.Build());
  worker.Request(WholeGrid(grid, 0, 1));
  held.WaitUntilStarted(1);
  worker.Request(WholeGrid(grid, 0, 2));  // arrives while the older build is held
  held.Release(1);
  // The worker starts the newer build only once it has dealt with the older one's mesh.
  held.WaitUntilStarted(2);
  EXPECT_FALSE(worker.Take().has_value()) << "the older request's mesh was handed out";
  EXPECT_TRUE(worker.Pending());
  held.Release(2);
  const std::optional<IndexedMesh> m = worker.WaitAndTake();
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->precision, 2);
  EXPECT_EQ(m->triangle_count, 32);
  EXPECT_FALSE(worker.Pending());
}

// Strict builds of one grid on the worker and on this thread at once share the errors
// worked out for the grid, and agree; a build superseded while they are made leaves nothing
// half made behind.
TEST(MeshWorker, StrictBuildsOnBothThreadsShareTheGridsErrors) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode == 0 ? "quads" : "triangles");
    const GridValue grid(257, 257, [mode](int r, int c) {
      return mode == 0 ? (c * c * 7 + r * 13 + c * r) % 97 : (c * 37 + r * 11) % 101 + r;
    });
    mesh::Settings s = WholeGrid(grid, mode, 6);
    s.adaptive = s.strict = true;
    s.bound = mode == 0 ? 3 : 20;
    MeshWorker worker(BuildOver(grid));
    mesh::Settings first = s;
    first.bound = s.bound + 10;
    worker.Request(first);
    worker.Request(s);
    const IndexedMesh here = mesh::BuildIndexedMesh(grid, s);
    const std::optional<IndexedMesh> there = worker.WaitAndTake();
    ASSERT_TRUE(there.has_value());
    EXPECT_GT(here.triangle_count, 2);
    EXPECT_EQ(there->triangle_count, here.triangle_count);
    EXPECT_EQ(there->indices, here.indices);
    EXPECT_LE(here.true_error.max, s.bound);
  }
}

// Leaving in the middle of a build stops it instead of finishing it: a build of precision
// 12 on this grid would end with the budget's console line.
TEST(MeshWorker, StopsABuildInProgress) {
  const GridValue grid(1025, 1025);
  testing::internal::CaptureStdout();
  auto worker = std::make_unique<MeshWorker>(BuildOver(grid));
  worker->Request(WholeGrid(grid, 0, 12));
  worker.reset();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
