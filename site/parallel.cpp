#include "site/parallel.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vmk {

int AllCores() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

void ParallelFor(std::size_t n, std::size_t chunk, int threads,
                 const std::function<void(std::size_t, std::size_t)>& body, ProgressMeter* meter,
                 double unitsPerItem) {
  if (n == 0) return;
  if (chunk == 0) chunk = 1;
  const std::size_t chunks = (n + chunk - 1) / chunk;
  std::size_t workers = threads < 1 ? 1 : static_cast<std::size_t>(threads);
  if (workers > chunks) workers = chunks;

  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable finished;
  std::size_t running = 0;  // helper threads still working

  const auto work = [&](bool caller) {
    try {
      for (;;) {
        if (stop.load(std::memory_order_relaxed)) break;
        const std::size_t c = next.fetch_add(1, std::memory_order_relaxed);
        if (c >= chunks) break;
        const std::size_t begin = c * chunk;
        const std::size_t end = begin + chunk < n ? begin + chunk : n;
        body(begin, end);
        if (meter != nullptr) {
          if (unitsPerItem != 0) meter->Add(static_cast<double>(end - begin) * unitsPerItem);
          if (caller) meter->Report();
        }
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      stop = true;
    }
  };

  std::vector<std::thread> pool;
  pool.reserve(workers - 1);
  for (std::size_t i = 1; i < workers; ++i) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      ++running;
    }
    try {
      pool.emplace_back([&] {
        work(false);
        const std::lock_guard<std::mutex> lock(mutex);
        --running;
        finished.notify_all();
      });
    } catch (...) {
      // No more threads: what is left runs on those there are.
      const std::lock_guard<std::mutex> lock(mutex);
      --running;
      break;
    }
  }
  work(true);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(200));
      if (meter != nullptr && running > 0) {
        lock.unlock();
        meter->Report();
        lock.lock();
      }
    }
  }
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
  if (meter != nullptr) meter->Report();
}

}  // namespace vmk
