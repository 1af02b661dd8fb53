// Any bytes as a history file. What is accepted must come back the same
// through either format, as an export of it and an import of that would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/HistoryFile.h"

using namespace rg_com_ptl_xyh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parse = ReadHistoryFile(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parse) {
    if (parse.error().message.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::vector<rg_HistoryRow>& rows = *parse;
  for (const rg_HistoryFormat format : {rg_HistoryFormat::Csv, rg_HistoryFormat::Json}) {
    const std::string written = WriteHistoryFile(rows, format);
    const auto again = ReadHistoryFile(written);
    if (!again || again->size() != rows.size()) std::abort();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!(*again)[i].SameCast(rows[i]) || (*again)[i].id != rows[i].id) std::abort();
    }
    if (WriteHistoryFile(*again, format) != written) std::abort();
  }
  return 0;
}
