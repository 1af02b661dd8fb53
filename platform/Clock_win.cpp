#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

namespace {

// Windows' own zone, never the C runtime's reading of TZ: the user sets the
// zone in Windows, and the runtime knows only a few US names.
class SystemClock final : public Clock {
 public:
  double Now() const override {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return MakeDate(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                    local.wSecond, local.wMilliseconds);
  }

  int BiasMinutes() const override {
    // The standard bias, never the summer one, as on POSIX.
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return 0;
    return static_cast<int>(zone.Bias + zone.StandardBias);
  }
};

}  // namespace

const Clock& Clock::System() {
  static const SystemClock clock;
  return clock;
}

}  // namespace rg_com_ptl_xyh
