#include "site/parallel.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vmk {

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
  std::size_t running = workers;

  const auto work = [&] {
    try {
      for (;;) {
        if (stop.load(std::memory_order_relaxed)) break;
        const std::size_t c = next.fetch_add(1, std::memory_order_relaxed);
        if (c >= chunks) break;
        const std::size_t begin = c * chunk;
        const std::size_t end = begin + chunk < n ? begin + chunk : n;
        body(begin, end);
        if (meter != nullptr) meter->Add(static_cast<double>(end - begin) * unitsPerItem);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      stop = true;
    }
    const std::lock_guard<std::mutex> lock(mutex);
    --running;
    finished.notify_all();
  };

  std::vector<std::thread> pool;
  pool.reserve(workers);
  try {
    for (std::size_t i = 0; i < workers; ++i) pool.emplace_back(work);
  } catch (...) {
    // No thread could be started: what is left runs here.
    const std::lock_guard<std::mutex> lock(mutex);
    running -= workers - pool.size();
  }
  if (pool.empty()) {
    running = 1;
    work();
  }
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
