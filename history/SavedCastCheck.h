#pragma once
// Whether a history row holds a cast this program could have saved. A file
// to import and a row read back from the store are held to the same rules,
// so a row another program wrote or someone edited by hand is never cast as
// if it were sound (an empty 卦主, a year -25480, a number "12abc").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

struct rg_HistoryRow;
struct rg_YsModel;

// What the status bar says when a damaged row is reviewed or checked.
inline constexpr std::u16string_view kDamagedCastText = u"该历史记录已损坏,无法复盘";

// The bounds of the two texts the user types. The window keeps a title
// short enough that title, date and brackets stay within the name bound.
inline constexpr std::size_t kSavedNameLimit = 255;
inline constexpr std::size_t kSavedTitleLimit = 200;
inline constexpr std::size_t kSavedNoteLimit = 10000;
// The number column holds at most this many characters.
inline constexpr std::size_t kSavedNumberLimit = 32;

// One row's columns as stored; an absent value (SQL NULL) is nullopt or an
// empty text.
struct rg_CastFields {
  std::u16string_view ysname;
  std::optional<std::int64_t> ysindex;
  std::u16string_view ysnumber;
  std::optional<double> ysday;
  std::optional<std::int64_t> gzsxid;
  std::u16string_view upstr;
  std::u16string_view downstr;
  std::u16string_view dong;  // the stored text form
  std::optional<std::int64_t> rot;
  std::u16string_view uinfo;
};

// The first column that breaks a rule, by its column name, and the rule it
// breaks, in words for the user.
struct rg_CastFault {
  std::string field;
  std::string why;
  bool operator==(const rg_CastFault&) const = default;
};

std::optional<rg_CastFault> CheckCastFields(const rg_CastFields& fields);
std::optional<rg_CastFault> CheckHistoryRow(const rg_HistoryRow& row);
// A record about to be saved, so that nothing saved is refused later.
std::optional<rg_CastFault> CheckSaveRecord(const rg_YsModel& record);

}  // namespace rg_com_ptl_xyh
