// A limit on the size of the files this process writes, for the life of the object: a write
// beyond it fails with EFBIG as a full disk would, for every user, root included, and the
// signal SIGXFSZ that would end the process is ignored meanwhile. POSIX systems only.
// For child processes, which inherit both, `ForChildren` keeps the signal as it is, so that a
// program is tested with the signal it would get from the system (the test itself then writes
// nothing beyond the limit).
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace vmk::scratch {

class FileSizeLimit {
 public:
  enum Signal { IgnoreSignal, ForChildren };
  explicit FileSizeLimit(rlim_t bytes, Signal signal = IgnoreSignal) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    signalSet_ = signal == IgnoreSignal && sigaction(SIGXFSZ, &ignore, &previousAction_) == 0;
    if ((signal == IgnoreSignal && !signalSet_) || getrlimit(RLIMIT_FSIZE, &previousLimit_) != 0) {
      return;
    }
    rlimit small = previousLimit_;
    small.rlim_cur = bytes;
    limitSet_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    if (limitSet_) setrlimit(RLIMIT_FSIZE, &previousLimit_);
    if (signalSet_) sigaction(SIGXFSZ, &previousAction_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  // True when the limit holds.
  bool Active() const { return limitSet_; }

 private:
  struct sigaction previousAction_ {};
  rlimit previousLimit_{};
  bool signalSet_ = false;
  bool limitSet_ = false;
};

}  // namespace vmk::scratch
