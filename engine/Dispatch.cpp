#include "engine/Dispatch.h"

#include "engine/Analysis.h"
#include "engine/Report.h"

namespace rg_com_ptl_xyh {

int rg_CastDispatch::Dispatch(int tag, int code, const std::u16string& message,
                              rg_QiGuaModel& request) {
  if (tag != kEngineTag) return 0;
  if (status_) status_(message);
  if (code <= 0 || request.empty) return 0;
  if (const auto method = CastMethodOf(code)) StampRequest(request, *method, clock_, lottery_);
  BuildCast(report_, request);
  return 0;
}

}  // namespace rg_com_ptl_xyh
