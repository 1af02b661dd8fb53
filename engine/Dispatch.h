#pragma once
// The casting dispatch: what happens to the casting panel's cast event.
#include <functional>
#include <string>

#include "engine/Casting.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_GuaReport;

class rg_CastDispatch {
 public:
  // The tag the engine subscribes to the casting panel with.
  static constexpr int kEngineTag = 1;
  using StatusHandler = std::function<void(const std::u16string&)>;

  rg_CastDispatch(const Clock& clock, rg_GuaReport& report) : clock_(clock), report_(report) {}

  void SetStatusHandler(StatusHandler handler) { status_ = std::move(handler); }
  void SetLottery(LotteryCode code) { lottery_ = code; }
  LotteryCode Lottery() const { return lottery_; }

  // Shows the message, completes the request and analyses it; always 0.
  // code is the cast event's: the method's number, or a refusal's below 1.
  int Dispatch(int tag, int code, const std::u16string& message, rg_QiGuaModel& request);

 private:
  const Clock& clock_;
  rg_GuaReport& report_;
  StatusHandler status_;
  LotteryCode lottery_ = LotteryCode::DoubleColor;
};

}  // namespace rg_com_ptl_xyh
