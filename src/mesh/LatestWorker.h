// Does long work on a thread of its own, so that the window keeps answering: the main loop
// posts requests and picks up finished results between frames. Only the newest request
// counts: a newer one supersedes the one in progress, whose work notices it through an
// atomic counter and stops (by throwing mesh::Superseded), and a stale result is dropped,
// never handed out.
//
// Hand-overs: a request is copied into the worker under its mutex; what the work reads
// besides its request is read by both threads but written by neither while the worker
// runs; a finished result is moved out under the mutex.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "MeshList.h"

template <class Order, class Result>
class LatestWorker {
 public:
  // Makes the result of a request; asks `superseded` now and then and may end with
  // mesh::Superseded when it answers true.
  using Build = std::function<Result(const Order&, const std::function<bool()>& superseded)>;

  explicit LatestWorker(Build build) : build_(std::move(build)) {}
  LatestWorker(const LatestWorker&) = delete;
  LatestWorker& operator=(const LatestWorker&) = delete;
  // Stops the work in progress and waits for the thread.
  ~LatestWorker() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      stop_flag_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Asks for the result of `r`; starts the thread on first use.
  void Request(const Order& r) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      waiting_ = r;
      ++requested_;
      newest_ = requested_;
      finished_.reset();  // an older result not yet taken is stale now
      if (!thread_.joinable()) thread_ = std::thread(&LatestWorker::Run, this);
    }
    changed_.notify_all();
  }

  // True from a request until its result has been taken.
  bool Pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return taken_ != requested_;
  }

  // True when the newest request's result is finished and not yet taken.
  bool Ready() {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_.has_value();
  }

  // The result of the newest request once it is finished, else nothing.
  std::optional<Result> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return TakeFinished();
  }

  // Waits for the result of the newest request (nothing when no request is pending).
  std::optional<Result> WaitAndTake() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return taken_ == requested_ || finished_.has_value(); });
    return TakeFinished();
  }

 private:
  std::optional<Result> TakeFinished() {
    if (!finished_) return std::nullopt;
    std::optional<Result> result = std::move(finished_);
    finished_.reset();
    taken_ = requested_;
    return result;
  }

  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return stopping_ || waiting_.has_value(); });
      if (stopping_) return;
      const Order request = *waiting_;
      const unsigned long number = requested_;
      waiting_.reset();
      lock.unlock();

      std::optional<Result> built;
      try {
        built = build_(request, [this, number] {
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

  const Build build_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
  bool stopping_ = false;
  std::optional<Order> waiting_;      // a request the thread has not started yet
  unsigned long requested_ = 0;       // number of the newest request
  unsigned long taken_ = 0;           // number of the request whose result was taken last
  std::optional<Result> finished_;    // the newest request's result, until taken
  // Copy of requested_ that a running build polls without the lock.
  std::atomic<unsigned long> newest_{0};
  std::atomic<bool> stop_flag_{false};
};
