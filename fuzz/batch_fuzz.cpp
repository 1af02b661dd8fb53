// Any bytes as the standard input of cast --batch: every line is read
// within its bound, split or refused with a reason, and the answer for a
// refused line is one line of JSON in valid UTF-8.
#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cli/BatchLine.h"
#include "platform/Utf.h"

using namespace xyh_cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string line;
  for (long number = 1;; ++number) {
    const Read read = ReadLine(*in.rdbuf(), line);
    if (read == Read::End) break;
    if (line.size() > kMaxLine || line.find('\n') != std::string::npos) std::abort();
    std::string error;
    const auto words = SplitWords(line, error);
    if (!words && error.empty()) std::abort();
    // The answer to the line quotes what it held, as a refusal may.
    std::string quoted = error;
    if (words) {
      for (const std::string& w : *words) quoted += w + " ";
    }
    const std::string json = BatchErrorLine(number, quoted);
    if (json.find('\n') != std::string::npos) std::abort();
    if (rg_com_ptl_xyh::ToUtf8(rg_com_ptl_xyh::FromUtf8(json)) != json) std::abort();
    Json::Value value;
    std::string errors;
    if (!reader->parse(json.data(), json.data() + json.size(), &value, &errors) ||
        value["line"].asInt64() != number) {
      std::abort();
    }
  }
  return 0;
}
