// Work spread over threads of the standard library, with the progress reported from the
// calling thread while the others work.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace vmk {

// The share of a long computation done so far, reported now and then.
class ProgressMeter {
 public:
  // `report` is called with the share done (0 to 1), from the thread that called ParallelFor;
  // it may be empty.
  ProgressMeter(double totalUnits, std::function<void(double)> report)
      : total_(totalUnits > 0 ? totalUnits : 1), report_(std::move(report)) {}

  void Add(double units) {
    // Kept in thousandths of a unit so that an atomic integer can hold it.
    done_.fetch_add(static_cast<long long>(units * 1000.0), std::memory_order_relaxed);
  }
  void Report() const {
    if (!report_) return;
    const double share = static_cast<double>(done_.load(std::memory_order_relaxed)) / 1000.0 / total_;
    report_(share < 1 ? share : 1);
  }

 private:
  double total_;
  std::function<void(double)> report_;
  std::atomic<long long> done_{0};
};

// Calls body(begin, end) over [0, n) in chunks of `chunk` items on `threads` threads (at least
// one), each chunk adding chunk * unitsPerItem to `meter`. The calling thread reports the
// progress meanwhile. An exception from a body stops the other chunks and is raised again
// here.
void ParallelFor(std::size_t n, std::size_t chunk, int threads,
                 const std::function<void(std::size_t begin, std::size_t end)>& body,
                 ProgressMeter* meter = nullptr, double unitsPerItem = 1);

}  // namespace vmk
