#include "preview/preview_timing.h"

#include <chrono>
#include <cmath>

namespace vexa {

using TSteady = std::chrono::steady_clock;

double TSteadyTiming::NowMs() {
  return std::chrono::duration<double, std::milli>(TSteady::now().time_since_epoch()).count();
}

bool TSteadyTiming::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                              double deadlineMs, const std::function<bool()>& woken) {
  if (!std::isfinite(deadlineMs)) {
    wake.wait(lock, woken);
    return true;
  }
  const auto at = TSteady::time_point(std::chrono::duration_cast<TSteady::duration>(
      std::chrono::duration<double, std::milli>(deadlineMs)));
  return wake.wait_until(lock, at, woken);
}

}  // namespace vexa
