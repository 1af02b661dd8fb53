#pragma once
// The result text: the derived numbers put into the fixed template.
#include <string>

#include "derive/Derive.h"

namespace rg_com_ptl_xyh {

struct rg_GuaAnalysis;

// The decoded template with its placeholders {1}..{8}.
std::u16string ResultTemplate();
std::u16string FillResultText(const DerivedNumbers& numbers);
// Derives from a copy of the record's number profile and fills the template.
std::u16string ResultTextFor(const rg_GuaAnalysis& analysis);

}  // namespace rg_com_ptl_xyh
