#pragma once
// One saved reading: the inputs a cast can be made again from, with its
// display name and the user's note. One row of the history table.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Casting.h"

namespace rg_com_ptl_xyh {

struct rg_GuaAnalysis;

struct rg_YsModel {
  // 64 bits: SQLite's row ids are, and a file edited by another program
  // may hold ids beyond 32 bits.
  std::int64_t _id = 0;
  std::u16string ysname;
  std::int32_t ysindex = 0;
  std::u16string ysnumber;
  double ysday = 0.0;
  std::int32_t gzsxid = 0;
  std::u16string upstr;
  std::u16string downstr;
  std::vector<std::int32_t> dong;
  std::int32_t rot = 0;
  std::u16string uinfo;
  // Read from the store: empty for a row the program could have saved,
  // else the column that is wrong and why. A damaged row is listed but
  // never cast.
  std::string damage;

  // "0,1,0,0,-1,0"; empty for an empty list.
  std::u16string DongText() const;
  // Appends the values of a text form; empty pieces are dropped and a piece
  // that is not a number reads as 0.
  void AppendDongFromText(std::u16string_view text);

  bool operator==(const rg_YsModel&) const = default;
};

// The store's edge for a cast's choices: the request a record casts again,
// and the record that stores a request. The stored numbers become choices
// only here; a damaged record, or one whose method or time choice no choice
// has, casts nothing (nullopt) rather than some other cast.
std::optional<rg_QiGuaModel> RequestOfRecord(const rg_YsModel& record);
// Name, note and id stay empty; a request without marks stores six 0s.
rg_YsModel RecordOfRequest(const rg_QiGuaModel& request);

// True for a stored 超时空起卦 cast at 开奖时间 (IsDrawTimeCast of its choices).
bool IsDrawTimeCast(const rg_YsModel& record);

// The record the save action stores: title + "(" + cast date text + ")",
// the note, and the cast's inputs; "0,0,0,0,0,0" when it has no marks.
rg_YsModel MakeSaveRecord(const rg_GuaAnalysis& analysis, std::u16string_view title,
                          std::u16string_view note);

}  // namespace rg_com_ptl_xyh
