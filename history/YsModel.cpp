#include "history/YsModel.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "derive/PrizeCheck.h"
#include "engine/Analysis.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

std::u16string rg_YsModel::DongText() const {
  std::u16string out;
  for (size_t i = 0; i < dong.size(); ++i) {
    if (i != 0) out += u',';
    out += DecimalText(dong[i]);
  }
  return out;
}

namespace {

// A decimal integer, or 0 for anything else (as a lenient reader would).
std::int32_t ReadInteger(std::u16string_view piece) {
  std::string ascii;
  for (char16_t c : piece) {
    if (c > 0x7F) return 0;
    ascii += static_cast<char>(c);
  }
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(ascii.c_str(), &end, 10);
  if (end == ascii.c_str() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
    return 0;
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

void rg_YsModel::AppendDongFromText(std::u16string_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(u',', start);
    if (comma == std::u16string_view::npos) comma = text.size();
    if (comma > start) dong.push_back(ReadInteger(text.substr(start, comma - start)));
    start = comma + 1;
  }
}

std::optional<rg_QiGuaModel> RequestOfRecord(const rg_YsModel& record) {
  const auto method = CastMethodOf(record.ysindex);
  const auto timeChoice = TimeChoiceOf(record.rot);
  if (!record.damage.empty() || !method || !timeChoice) return std::nullopt;
  rg_QiGuaModel request;
  request.id = record._id;
  request.method = *method;
  request.numberText = record.ysnumber;
  request.upstr = record.upstr;
  request.downstr = record.downstr;
  request.dong.assign(record.dong.begin(), record.dong.end());
  request.zodiac = record.gzsxid;
  request.castTime = record.ysday;
  request.timeChoice = *timeChoice;
  return request;
}

rg_YsModel RecordOfRequest(const rg_QiGuaModel& request) {
  rg_YsModel r;
  r.ysindex = NumberOf(request.method);
  r.ysnumber = request.numberText;
  r.ysday = request.castTime;
  r.gzsxid = request.zodiac;
  r.upstr = request.upstr;
  r.downstr = request.downstr;
  if (request.dong.empty()) {
    r.dong.assign(6, 0);
  } else {
    r.dong.assign(request.dong.begin(), request.dong.end());
  }
  r.rot = NumberOf(request.timeChoice);
  return r;
}

bool IsDrawTimeCast(const rg_YsModel& record) {
  const auto method = CastMethodOf(record.ysindex);
  const auto timeChoice = TimeChoiceOf(record.rot);
  return method && timeChoice && IsDrawTimeCast(*method, *timeChoice);
}

rg_YsModel MakeSaveRecord(const rg_GuaAnalysis& a, std::u16string_view title,
                          std::u16string_view note) {
  rg_YsModel r = RecordOfRequest(RequestOfAnalysis(a));
  r.ysname = std::u16string(title) + u"(" + DateText(a.castTime) + u")";
  r.uinfo = note;
  return r;
}

}  // namespace rg_com_ptl_xyh
