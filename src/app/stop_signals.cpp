#include "stop_signals.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace vexa::app {
namespace {

void Say(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

}  // namespace

TStopSignals::TStopSignals() {
  // Past a file size limit a write then fails with EFBIG, which the writers report.
  std::signal(SIGXFSZ, SIG_IGN);
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  sigaddset(&set_, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set_, nullptr);
  thread_ = std::thread([this] { Watch(); });
}

TStopSignals::~TStopSignals() {
  quit_ = true;
  thread_.join();
}

bool TStopSignals::Make(const std::string& path, const std::function<bool()>& create) {
  std::lock_guard<std::mutex> hold(lock_);
  const bool made = create();
  if (made) temps_.insert(path);
  return made;
}

void TStopSignals::Gone(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  temps_.erase(path);
}

void TStopSignals::Watch() {
  // A short wait, so that the destructor is not kept waiting for a signal.
  const timespec wait{0, 100 * 1000 * 1000};
  while (!quit_) {
    siginfo_t info{};
    const int sig = sigtimedwait(&set_, &info, &wait);
    if (sig <= 0) continue;
    int none = 0;
    if (first_.compare_exchange_strong(none, sig)) {
      Say("\nvexa-render: stopping; press Ctrl+C again to stop at once\n");
      continue;
    }
    // The second signal: what is being written is removed, and the program ends now. Holding
    // the lock, no file is made meanwhile; one already moved into place is no longer under its
    // temporary name, so it stays.
    std::lock_guard<std::mutex> hold(lock_);
    for (const std::string& path : temps_)
      ::unlink(path.c_str());
    Say("vexa-render: stopped at once; the unfinished files were removed\n");
    ::_exit(128 + sig);
  }
}

}  // namespace vexa::app
