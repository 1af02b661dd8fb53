#pragma once
// Saved casts as a file the user keeps or moves: every column of the
// history table, as CSV or JSON in UTF-8. Reading checks the whole file
// before anything is handed on, so a bad file is refused as a whole; every
// record must be a cast the program could have saved (SavedCastCheck.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "derive/Play.h"
#include "platform/Result.h"

namespace rg_com_ptl_xyh {

// One row of the history table as stored. A column left empty by an older
// writer (SQL NULL) is absent here; texts are kept as stored, the moving
// marks included, without being read as numbers.
struct rg_HistoryRow {
  std::optional<std::int64_t> id;
  std::optional<std::u16string> ysname;
  std::optional<std::int64_t> ysindex;
  std::optional<std::u16string> ysnumber;
  std::optional<double> ysday;
  std::optional<std::int64_t> gzsxid;
  std::optional<std::u16string> upstr;
  std::optional<std::u16string> downstr;
  std::optional<std::u16string> dong;
  std::optional<std::int64_t> rot;
  std::optional<std::u16string> uinfo;
  // The plays bought with the cast, in id order; JSON only (CSV has no
  // place for them). Not part of the cast's identity below.
  std::vector<rg_Play> plays;

  // Equal in every field but the id.
  bool SameCast(const rg_HistoryRow& other) const;
  // An order over every field but the id (for counting duplicates).
  bool CastBefore(const rg_HistoryRow& other) const;
};

enum class rg_HistoryFormat { Csv, Json };

// The column names, in the table's order: the CSV header and the JSON keys.
const std::vector<std::string>& HistoryColumnNames();

// CSV: a header line, then one line per row (RFC 4180, CR LF). Texts are
// always quoted, so an empty text reads "" and an absent one is left
// empty. JSON: one object {"format":"xyh-history","version":1,"records":[…]}
// with one record per line, absent values as null; a cast with plays also
// has "plays": [{"dan":[…],"red":[…],"blue":[…],"multiple":m}, …].
std::string WriteHistoryFile(const std::vector<rg_HistoryRow>& rows, rg_HistoryFormat format);

// Larger files are refused unread; so are files with more records, or a
// JSON record larger than a record can sensibly be (whatever the file, the
// reader never holds more than these).
inline constexpr std::size_t kHistoryFileLimit = 64u << 20;
inline constexpr std::size_t kHistoryRecordLimit = 200000;
inline constexpr std::size_t kHistoryJsonRecordLimit = 1u << 20;

// Why the file WriteHistoryFile made of rows cannot be read back by
// ReadHistoryFile (too many records, too large, a JSON record over its
// limit, named), or "" when it can. An export checks this before it
// writes, so that no backup is made that the import refuses.
std::string HistoryExportRefusal(const std::vector<rg_HistoryRow>& rows, std::string_view file);

// Reads either format: a file whose first character (after an optional
// byte-order mark) is "{" is JSON, anything else CSV. A refusal's message
// says where and why: "第3行:…" or "$.records[2].ysday:…".
Result<std::vector<rg_HistoryRow>> ReadHistoryFile(std::string_view bytes);

}  // namespace rg_com_ptl_xyh
