#include "history/SavedCastCheck.h"

#include <cmath>

#include "history/HistoryFile.h"
#include "history/YsModel.h"
#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

namespace {

enum Method { kNumberCast = 1, kHandCast = 2, kTimeCast = 3 };

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A typed number: digits, and the blanks the number entry lets between
// them, within the column's 32 characters.
bool TypedNumber(std::u16string_view s) {
  if (s.empty() || s.size() > kSavedNumberLimit || !IsDigit(s.front()) || !IsDigit(s.back()))
    return false;
  for (char16_t c : s) {
    if (!IsDigit(c) && c != u' ') return false;
  }
  return true;
}

// The millisecond number a time cast is given: digits only.
bool MillisecondNumber(std::u16string_view s) {
  if (s.empty() || s.size() > kSavedNumberLimit) return false;
  for (char16_t c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool TrigramCode(std::u16string_view s) {
  return s.size() == 3 && (s[0] == u'0' || s[0] == u'1') && (s[1] == u'0' || s[1] == u'1') &&
         (s[2] == u'0' || s[2] == u'1');
}

// Exactly the text the program writes: six of 1, 0 and -1 joined by commas.
bool SixMarks(std::u16string_view s) {
  int marks = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = s.find(u',', start);
    const std::u16string_view piece = s.substr(
        start, comma == std::u16string_view::npos ? std::u16string_view::npos : comma - start);
    if (piece != u"1" && piece != u"0" && piece != u"-1") return false;
    ++marks;
    if (comma == std::u16string_view::npos) break;
    start = comma + 1;
  }
  return marks == 6;
}

bool Blank(std::u16string_view s) {
  for (char16_t c : s) {
    if (c != u' ' && c != u'\t' && c != u'\x3000') return false;
  }
  return true;
}

std::optional<rg_CastFault> Fault(const char* field, std::string why) {
  return rg_CastFault{field, std::move(why)};
}

}  // namespace

std::optional<rg_CastFault> CheckCastFields(const rg_CastFields& f) {
  if (Blank(f.ysname)) return Fault("ysname", "不能为空");
  if (f.ysname.size() > kSavedNameLimit)
    return Fault("ysname", "超过 " + std::to_string(kSavedNameLimit) + " 个字");

  const std::int64_t method = f.ysindex.value_or(0);
  if (method != kNumberCast && method != kHandCast && method != kTimeCast)
    return Fault("ysindex", "应是 1(数字起卦)、2(自己装卦)或 3(超时空起卦)");

  if (method == kNumberCast && !TypedNumber(f.ysnumber))
    return Fault("ysnumber", "数字起卦应是 1 到 32 位数字");
  if (method == kTimeCast && !MillisecondNumber(f.ysnumber))
    return Fault("ysnumber", "超时空起卦应是 1 到 32 位数字");
  if (method == kHandCast && !f.ysnumber.empty() && !TypedNumber(f.ysnumber))
    return Fault("ysnumber", "应为空或 1 到 32 位数字");

  // The casting panel casts only at a real moment; the bounds keep the
  // calendar and the draw schedule within the years they know.
  static const double kFirst = MakeDate(1900, 1, 1);
  static const double kPastLast = MakeDate(2101, 1, 1);
  if (!f.ysday || !std::isfinite(*f.ysday) || *f.ysday < kFirst || *f.ysday >= kPastLast)
    return Fault("ysday", "应是 1900 年到 2100 年之间的时间");

  const std::int64_t zodiac = f.gzsxid.value_or(0);
  if (zodiac < 1 || zodiac > 12) return Fault("gzsxid", "应是 1 到 12(子鼠到亥猪)");

  // A hand cast is made of its lines; the other methods store the lines
  // they gave, which are not read again, so an older writer may have left
  // them out.
  const bool hand = method == kHandCast;
  if (hand ? !TrigramCode(f.upstr) : !f.upstr.empty() && !TrigramCode(f.upstr))
    return Fault("upstr", "应是三个 0 或 1");
  if (hand ? !TrigramCode(f.downstr) : !f.downstr.empty() && !TrigramCode(f.downstr))
    return Fault("downstr", "应是三个 0 或 1");
  if (hand ? !SixMarks(f.dong) : !f.dong.empty() && !SixMarks(f.dong))
    return Fault("dong", "应是以逗号分开的六个 1、0 或 -1");

  const std::int64_t choice = f.rot.value_or(0);
  if (method == kTimeCast ? choice != 1 && choice != 2 : choice < 0 || choice > 2) {
    return Fault(
        "rot", method == kTimeCast ? "超时空起卦应是 1(当前时间)或 2(开奖时间)" : "应是 0、1 或 2");
  }

  if (f.uinfo.size() > kSavedNoteLimit)
    return Fault("uinfo", "超过 " + std::to_string(kSavedNoteLimit) + " 个字");
  return std::nullopt;
}

std::optional<rg_CastFault> CheckHistoryRow(const rg_HistoryRow& row) {
  const auto text = [](const std::optional<std::u16string>& v) {
    return v ? std::u16string_view(*v) : std::u16string_view();
  };
  return CheckCastFields({text(row.ysname), row.ysindex, text(row.ysnumber), row.ysday, row.gzsxid,
                          text(row.upstr), text(row.downstr), text(row.dong), row.rot,
                          text(row.uinfo)});
}

std::optional<rg_CastFault> CheckSaveRecord(const rg_YsModel& r) {
  const std::u16string dong = r.DongText();
  return CheckCastFields({r.ysname, r.ysindex, r.ysnumber, r.ysday, r.gzsxid, r.upstr, r.downstr,
                          dong, r.rot, r.uinfo});
}

}  // namespace rg_com_ptl_xyh
