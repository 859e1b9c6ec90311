// Runs a loop's independent steps on a few threads, the calling thread among them, so that
// a build can still be abandoned from the calling thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mesh {

// Threads for a build that has `points` grid points: the machine's cores, at most four, for
// grids above 2049 x 2049 or so; below, a build takes tens of milliseconds, and on a busy
// machine a helper thread waited for at each step would cost more than it saves.
inline int BuildThreads(long long points) {
  if (points < (1LL << 22)) return 1;
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

// Calls step(i) for every i in [0, count) on up to `threads` threads, each taking the next
// index free, so steps must not write what another step reads or writes. poll() is called
// on the calling thread only, before each step it takes. An exception from poll() or from
// a step stops the other threads after their current step and is rethrown once they end.
template <class Step>
void ForEachIndex(int count, int threads, const std::function<void()>& poll, Step step) {
  if (threads <= 1 || count <= 1) {
    for (int i = 0; i < count; ++i) {
      poll();
      step(i);
    }
    return;
  }
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::mutex failure_lock;
  std::exception_ptr failure;
  auto run = [&](bool caller) {
    try {
      while (!stop.load(std::memory_order_relaxed)) {
        if (caller) poll();
        const int i = next.fetch_add(1, std::memory_order_relaxed);
        if (i >= count) return;
        step(i);
      }
    } catch (...) {
      stop = true;
      const std::lock_guard<std::mutex> hold(failure_lock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int t = 1; t < std::min(threads, count); ++t) helpers.emplace_back(run, false);
  } catch (...) {
    // No more threads to be had: those running share the work.
  }
  run(true);
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace mesh
