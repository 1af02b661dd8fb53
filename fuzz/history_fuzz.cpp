// Any bytes as a history file. What is accepted must come back the same
// through either format, as an export of it and an import of that would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/HistoryFile.h"

using namespace rg_com_ptl_xyh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const rg_HistoryParse parse =
      ReadHistoryFile(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parse.ok) {
    if (parse.error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  for (const rg_HistoryFormat format : {rg_HistoryFormat::Csv, rg_HistoryFormat::Json}) {
    const std::string written = WriteHistoryFile(parse.rows, format);
    const rg_HistoryParse again = ReadHistoryFile(written);
    if (!again.ok || again.rows.size() != parse.rows.size()) std::abort();
    for (size_t i = 0; i < parse.rows.size(); ++i) {
      if (!again.rows[i].SameCast(parse.rows[i]) || again.rows[i].id != parse.rows[i].id)
        std::abort();
    }
    if (WriteHistoryFile(again.rows, format) != written) std::abort();
  }
  return 0;
}
