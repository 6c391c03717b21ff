// How vexa-render answers Ctrl+C (SIGINT), SIGTERM and SIGHUP: the first asks the running
// render to stop (it keeps what a stop keeps: the frames so far of a movie, nothing of a sound
// file); a second ends the program at once, after removing the temporary files it was writing.
// A file size limit (SIGXFSZ) makes the write fail with its reason instead of ending the program.
#pragma once

#include <signal.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "media/temp_file_watch.h"

namespace vexa::app {

class TStopSignals final : public TTempFileWatch {
 public:
  // Make it before any other thread starts: the three signals are blocked in this thread and
  // every thread started later, and taken by a watcher thread of their own.
  TStopSignals();
  ~TStopSignals() override;
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

  bool StopRequested() const { return first_.load() != 0; }
  // The first signal received, 0 while none came.
  int Signal() const { return first_.load(); }
  // The exit status of a program stopped by that signal: 128 + its number.
  int ExitStatus() const { return 128 + Signal(); }

  bool Make(const std::string& path, const std::function<bool()>& create) override;
  void Gone(const std::string& path) override;

 private:
  void Watch();

  sigset_t set_{};
  std::atomic<int> first_{0};
  std::atomic<bool> quit_{false};
  std::mutex lock_;
  std::set<std::string> temps_;
  std::thread thread_;
};

}  // namespace vexa::app
