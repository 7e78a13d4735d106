// Work spread over threads of the standard library, with the progress reported from the
// calling thread, which does its share of the work.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace vmk {

// The share of a long computation done so far, reported as it grows.
class ProgressMeter {
 public:
  // `report` is called with the share done (0 to 1), from the thread that called ParallelFor;
  // it may be empty. It is called when the share has grown by `step` or more since the last
  // call, and once more when the whole is done.
  ProgressMeter(double totalUnits, std::function<void(double)> report, double step = 0.01)
      : total_(totalUnits > 0 ? totalUnits : 1), step_(step), report_(std::move(report)) {}

  // From any thread.
  void Add(double units) {
    // Kept in thousandths of a unit so that an atomic integer can hold it.
    done_.fetch_add(static_cast<long long>(units * 1000.0), std::memory_order_relaxed);
  }
  // From the thread that called ParallelFor only.
  void Report() {
    if (!report_) return;
    double share = static_cast<double>(done_.load(std::memory_order_relaxed)) / 1000.0 / total_;
    if (share > 1) share = 1;
    const bool whole = share >= 1 && reported_ < 1;
    if (!whole && !(share >= reported_ + step_)) return;
    reported_ = share;
    report_(share);
  }

 private:
  double total_;
  double step_;
  std::function<void(double)> report_;
  std::atomic<long long> done_{0};
  double reported_ = 0;  // the share of the last report
};

// The number of threads the system runs at once (1 when it cannot tell).
int AllCores();

// Calls body(begin, end) over [0, n) in chunks of `chunk` items on `threads` threads (at least
// one; the calling thread is one of them), each chunk adding chunk * unitsPerItem to `meter`
// (with 0 the body adds its own units). The calling thread reports the progress after each of
// its chunks and while it waits for the others, so that a run on one thread reports at the
// same points every time. An exception from a body stops the other chunks and is raised
// again here.
void ParallelFor(std::size_t n, std::size_t chunk, int threads,
                 const std::function<void(std::size_t begin, std::size_t end)>& body,
                 ProgressMeter* meter = nullptr, double unitsPerItem = 1);

}  // namespace vmk
