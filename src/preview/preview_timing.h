// Time as the preview runner sees it: a monotonic millisecond clock and a wait for a deadline
// on that clock that a request (stop, seek) can cut short. Tests put a fake clock here.
#pragma once

#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>

namespace vexa {

class TPreviewTiming {
 public:
  static constexpr double kForever = std::numeric_limits<double>::infinity();

  virtual ~TPreviewTiming() = default;
  // Milliseconds since some fixed start; never goes back.
  virtual double NowMs() = 0;
  // With lock held on entry and on return: waits on wake until NowMs() >= deadlineMs or
  // woken() holds; returns woken(). kForever waits for woken() alone.
  virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, double deadlineMs,
                         const std::function<bool()>& woken) = 0;
};

// The steady clock of the system.
class TSteadyTiming : public TPreviewTiming {
 public:
  double NowMs() override;
  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, double deadlineMs,
                 const std::function<bool()>& woken) override;
};

}  // namespace vexa
