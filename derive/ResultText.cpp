#include "derive/ResultText.h"

#include "engine/Analysis.h"
#include "platform/Base64.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {
constexpr std::string_view kTemplate =
    "qGMUb5RO6GyifgN091M6AA0ACgANAAoAAE7obDoAewAxAH0ADQAKAIxO6Gw6AHsAMgB9AA0ACgAJTuhsOgB7ADMAfQANAA"
    "oA21bobDoAewA0AH0ADQAKAJRO6Gw6AHsANQB9AA0ACgANAAoAZlPPUAZSkGf3UzoADQAKAA0ACgCifgN0OgANAAoAewA2"
    "AH0ADQAKAA0ACgDdhAN0OgANAAoAewA3AH0ADQAKAA0ACgCoYxRv036cZ6J+A3TCUwOA91M6AA0ACgB7ADgAfQANAAoA";
}  // namespace

std::u16string ResultTemplate() { return DecodeUtf16Base64(kTemplate); }

std::u16string FillResultText(const DerivedNumbers& numbers) {
  std::u16string text = ResultTemplate();
  for (size_t i = 0; i < numbers.size(); ++i) {
    const std::u16string placeholder = u"{" + DecimalText(static_cast<long long>(i) + 1) + u"}";
    for (size_t pos = text.find(placeholder); pos != std::u16string::npos;
         pos = text.find(placeholder, pos + numbers[i].size())) {
      text.replace(pos, placeholder.size(), numbers[i]);
    }
  }
  return text;
}

std::u16string ResultTextFor(const rg_GuaAnalysis& analysis) {
  return FillResultText(DeriveNumbers(analysis.profile));
}

}  // namespace rg_com_ptl_xyh
