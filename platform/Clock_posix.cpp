#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

namespace {

class SystemClock final : public Clock {
 public:
  double Now() const override {
    const auto now = std::chrono::system_clock::now();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec, static_cast<int>(ms % 1000));
  }

  int BiasMinutes() const override {
    // timezone holds the standard offset west of UTC, never the summer one.
    // tzset writes it, and the window's worker asks too: one at a time.
    static std::mutex lock;
    const std::lock_guard<std::mutex> held(lock);
    tzset();
    return static_cast<int>(timezone / 60);
  }
};

}  // namespace

const Clock& Clock::System() {
  static const SystemClock clock;
  return clock;
}

}  // namespace rg_com_ptl_xyh
