#include "history/HistoryTransfer.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <set>

#include "history/EasyDb.h"
#include "history/Plays.h"
#include "history/SqlStatement.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

// "IS NULL" beside each column that may hold NULL: the statement layer reads
// NULL as 0 or as the empty text, which the file keeps apart.
constexpr std::u16string_view kSelectRows =
    u"SELECT _id,ysname,ysindex,ysindex IS NULL,ysnumber,ysday,ysday IS NULL,gzsxid,gzsxid IS NULL,"
    u"upstr,upstr IS NULL,downstr,downstr IS NULL,dong,rot,rot IS NULL,uinfo,uinfo IS NULL "
    u"FROM xyh_table ORDER BY _id;";

constexpr std::u16string_view kInsert =
    u"INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
    u"VALUES (?,?,?,?,?,?,?,?,?,?);";

struct CastOrder {
  bool operator()(const rg_HistoryRow& a, const rg_HistoryRow& b) const { return a.CastBefore(b); }
};

bool ReadRows(sqlite3* db, std::vector<rg_HistoryRow>& rows) {
  rg_SqlStatement s(db, kSelectRows);
  int code = 0;
  while ((code = s.Step()) == SQLITE_ROW) {
    rg_HistoryRow r;
    const auto integer = [&s](int value, int isNull) -> std::optional<std::int64_t> {
      if (s.ColumnInt(isNull) != 0) return std::nullopt;
      return s.ColumnInt(value);
    };
    const auto text = [&s](int value, int isNull) -> std::optional<std::u16string> {
      if (s.ColumnInt(isNull) != 0) return std::nullopt;
      return s.ColumnText(value);
    };
    r.id = s.ColumnInt(0);
    r.ysname = s.ColumnText(1);
    r.ysindex = integer(2, 3);
    r.ysnumber = s.ColumnText(4);
    if (s.ColumnInt(6) == 0) r.ysday = s.ColumnDouble(5);
    r.gzsxid = integer(7, 8);
    r.upstr = text(9, 10);
    r.downstr = text(11, 12);
    r.dong = s.ColumnText(13);
    r.rot = integer(14, 15);
    r.uinfo = text(16, 17);
    rows.push_back(std::move(r));
  }
  return code == SQLITE_DONE;
}

// Absent values stay unbound, which SQLite stores as NULL.
bool Insert(sqlite3* db, const rg_HistoryRow& r) {
  rg_SqlStatement s(db, kInsert);
  const auto text = [&s](int position, const std::optional<std::u16string>& v) {
    if (v) s.BindText(position, *v);
  };
  const auto integer = [&s](int position, const std::optional<std::int64_t>& v) {
    if (v) s.BindInt(position, *v);
  };
  text(1, r.ysname);
  integer(2, r.ysindex);
  text(3, r.ysnumber);
  if (r.ysday) s.BindDouble(4, *r.ysday);
  integer(5, r.gzsxid);
  text(6, r.upstr);
  text(7, r.downstr);
  text(8, r.dong);
  integer(9, r.rot);
  text(10, r.uinfo);
  return s.Step() == SQLITE_DONE;
}

std::string SqliteReason(sqlite3* db) {
  const int code = sqlite3_errcode(db);
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return "历史记录正被另一个程序写入,请稍后再试";
  if (code == SQLITE_READONLY) return "历史记录文件只读";
  if (code == SQLITE_FULL) return "磁盘已满";
  return std::string("历史记录写入失败:") + sqlite3_errmsg(db);
}

}  // namespace

Result<std::vector<rg_HistoryRow>> ReadHistoryRows(rg_EasyDb& store) {
  if (!store.Connected()) return Fail(rg_StoreStatus::NotConnected);
  std::vector<rg_HistoryRow> rows;
  if (!ReadRows(store.Handle(), rows)) return Fail(rg_StoreStatus::Failed);
  auto plays = rg_PlayStore::ReadAll(store.Handle());
  if (!plays) return Fail(plays.error());
  // A play that does not read back would be lost from the file unsaid.
  for (const auto& [castId, castPlays] : *plays) {
    for (const rg_StoredPlay& p : castPlays) {
      if (!p.damage.empty())
        return Refused("投注 " + std::to_string(p.id) + "(演算编号 " + std::to_string(castId) +
                       ")已损坏:" + p.damage + ",无法导出");
    }
  }
  for (rg_HistoryRow& r : rows) {
    const auto it = plays->find(*r.id);
    if (it == plays->end()) continue;
    for (rg_StoredPlay& p : it->second) r.plays.push_back(std::move(p.play));
  }
  return rows;
}

Result<rg_ImportOutcome> AddHistoryRows(rg_EasyDb& store, const std::vector<rg_HistoryRow>& rows) {
  if (!store.Connected()) return Fail(rg_StoreStatus::NotConnected, "历史记录没有打开");
  sqlite3* db = store.Handle();
  // Taking the write lock first keeps another writer from slipping a row in
  // between the duplicate check and the inserts.
  if (!ExecuteSql(db, u"BEGIN IMMEDIATE;")) return Fail(SqliteReason(db));
  rg_ImportOutcome outcome;
  const auto fail = [db](std::string reason) -> Result<rg_ImportOutcome> {
    ExecuteSql(db, u"ROLLBACK;");
    return Fail(std::move(reason));
  };
  std::vector<rg_HistoryRow> stored;
  if (!ReadRows(db, stored)) return fail(SqliteReason(db));
  auto read = rg_PlayStore::ReadAll(db);
  if (!read) return fail(SqliteReason(db));
  std::map<std::int64_t, std::vector<rg_StoredPlay>>& storedPlays = *read;
  // The stored rows of each cast, oldest first: a skipped row stands for
  // the first of them not matched yet.
  std::map<rg_HistoryRow, std::vector<std::int64_t>, CastOrder> unmatched;
  for (const rg_HistoryRow& r : stored) unmatched[r].push_back(*r.id);
  for (auto& [row, ids] : unmatched) std::reverse(ids.begin(), ids.end());

  for (const rg_HistoryRow& r : rows) {
    std::int64_t castId = 0;
    std::multiset<rg_Play> have;
    if (const auto it = unmatched.find(r); it != unmatched.end() && !it->second.empty()) {
      castId = it->second.back();
      it->second.pop_back();
      ++outcome.skipped;
      // A cast saved before keeps its plays; only those it lacks are added,
      // so importing the same file again adds no play either.
      for (const rg_StoredPlay& p : storedPlays[castId]) {
        if (p.damage.empty()) have.insert(p.play);
      }
    } else {
      if (!Insert(db, r)) return fail(SqliteReason(db));
      castId = sqlite3_last_insert_rowid(db);
      ++outcome.added;
    }
    for (const rg_Play& play : r.plays) {
      if (const auto it = have.find(play); it != have.end()) {
        have.erase(it);
        continue;
      }
      if (rg_PlayStore::InsertInTransaction(db, castId, play) != SQLITE_DONE)
        return fail(SqliteReason(db));
      ++outcome.playsAdded;
    }
  }
  if (!ExecuteSql(db, u"COMMIT;")) return fail(SqliteReason(db));
  return outcome;
}

Result<rg_ImportOutcome> ImportHistory(rg_EasyDb& store, std::string_view bytes) {
  return ReadHistoryFile(bytes).and_then(
      [&store](const std::vector<rg_HistoryRow>& rows) { return AddHistoryRows(store, rows); });
}

}  // namespace rg_com_ptl_xyh
