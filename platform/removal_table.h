// The fixed table of temporary files to remove when the program is interrupted: filled and
// emptied by the program, read by a signal handler (POSIX) or the console handler's thread
// (Windows), so it holds its paths in place and allocates nothing. Used by the implementation
// files only, with the path characters of their system.
#pragma once

#include <atomic>
#include <cstring>
#include <string_view>

namespace vmk::platform {

template <typename Char>
class RemovalTable {
 public:
  // The registration, or -1 when the table is full or the path too long (or holds a NUL).
  int Add(std::basic_string_view<Char> path) {
    if (path.size() >= kPathMax || path.find(Char{}) != std::basic_string_view<Char>::npos) {
      return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
      int expected = kFree;
      if (!slots_[i].State.compare_exchange_strong(expected, kFilling)) continue;
      std::memcpy(slots_[i].Path, path.data(), path.size() * sizeof(Char));
      slots_[i].Path[path.size()] = Char{};
      slots_[i].State.store(kRegistered);
      return i;
    }
    return -1;
  }

  void Forget(int registration) {
    if (registration >= 0 && registration < kSlots) slots_[registration].State.store(kFree);
  }

  // Calls `remove` with each registered path; safe in a signal handler when `remove` is.
  template <typename Remove>
  void RemoveAll(Remove remove) {
    for (Slot& s : slots_) {
      if (s.State.load() == kRegistered) remove(s.Path);
    }
  }

 private:
  static constexpr int kSlots = 64;
  static constexpr std::size_t kPathMax = 4096;
  enum SlotState : int { kFree = 0, kFilling = 1, kRegistered = 2 };
  struct Slot {
    std::atomic<int> State{kFree};
    Char Path[kPathMax];
  };
  Slot slots_[kSlots];
};

}  // namespace vmk::platform
