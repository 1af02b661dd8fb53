#include "history/Plays.h"

#include <sqlite3.h>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "history/SqlStatement.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::u16string_view kSelect = u"SELECT _id,castid,dan,red,blue,multiple FROM xyh_plays";

// A row as a play, checked as any play is: the file may have been edited.
std::optional<rg_StoredPlay> PlayFromRow(const rg_SqlStatement& s) {
  rg_StoredPlay p;
  p.id = s.ColumnInt(0);
  p.castId = s.ColumnInt(1);
  auto dan = ParseNumberList(s.ColumnUtf8(2));
  auto red = ParseNumberList(s.ColumnUtf8(3));
  auto blue = ParseNumberList(s.ColumnUtf8(4));
  const long long multiple = s.ColumnInt(5);
  if (!dan || !red || !blue || multiple < 1 || multiple > kPlayMaxMultiple) return std::nullopt;
  p.play.dan = std::move(*dan);
  p.play.red = std::move(*red);
  p.play.blue = std::move(*blue);
  p.play.multiple = static_cast<int>(multiple);
  if (!PlayRefusal(p.play).empty()) return std::nullopt;
  SortPlay(p.play);
  return p;
}

}  // namespace

std::u16string rg_PlayStore::CreateTableStatement() {
  return u"CREATE TABLE IF NOT EXISTS xyh_plays (_id integer primary key autoincrement,"
         u"castid INTEGER NOT NULL,dan TEXT NOT NULL,red TEXT NOT NULL,blue TEXT NOT NULL,"
         u"multiple INT(4) NOT NULL DEFAULT 1);";
}

rg_StoreStatus rg_PlayStore::LastStatus() const { return store_->LastStatus(); }

std::optional<bool> rg_PlayStore::TableIn(sqlite3* db) {
  rg_SqlStatement s(db,
                    u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='xyh_plays';");
  if (s.Step() != SQLITE_ROW) return std::nullopt;
  return s.ColumnInt(0) != 0;
}

int rg_PlayStore::InsertInTransaction(sqlite3* db, std::int64_t castId, const rg_Play& play) {
  {
    rg_SqlStatement create(db, CreateTableStatement());
    const int rc = create.Valid() ? create.Step() : create.PrepareCode();
    if (rc != SQLITE_DONE) return rc;
  }
  rg_SqlStatement s(db,
                    u"INSERT INTO xyh_plays (castid,dan,red,blue,multiple) VALUES (?,?,?,?,?);");
  if (!s.Valid()) return s.PrepareCode();
  rg_Play sorted = play;
  SortPlay(sorted);
  s.BindInt(1, castId);
  s.BindText(2, FromUtf8(NumbersText(sorted.dan)));
  s.BindText(3, FromUtf8(NumbersText(sorted.red)));
  s.BindText(4, FromUtf8(NumbersText(sorted.blue)));
  s.BindInt(5, sorted.multiple);
  return s.Step();
}

Result<std::int64_t> rg_PlayStore::Add(std::int64_t castId, const rg_Play& play) {
  if (const std::u16string why = PlayRefusal(play); !why.empty()) return Refused(ToUtf8(why));
  if (const rg_StoreStatus ready = store_->Ready(true); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  sqlite3* db = store_->Handle();
  // The write lock first, so the cast cannot go between the look and the insert.
  if (const rg_StoreStatus begun =
          store_->Record(ExecuteSql(db, u"BEGIN IMMEDIATE;") ? SQLITE_OK : sqlite3_errcode(db));
      begun != rg_StoreStatus::Ok)
    return Fail(begun);
  const auto rollback = [&](int rc) {
    const rg_StoreStatus status = store_->Record(rc);
    ExecuteSql(db, u"ROLLBACK;");
    return status;
  };
  {
    rg_SqlStatement cast(db, u"SELECT count(*) FROM xyh_table WHERE _id=?;");
    cast.BindInt(1, castId);
    const int rc = cast.Valid() ? cast.Step() : cast.PrepareCode();
    if (rc != SQLITE_ROW) return Fail(rollback(rc));
    if (cast.ColumnInt(0) == 0) {
      rollback(SQLITE_OK);
      return NotFound();
    }
  }
  if (const int rc = InsertInTransaction(db, castId, play); rc != SQLITE_DONE)
    return Fail(rollback(rc));
  const std::int64_t newId = sqlite3_last_insert_rowid(db);
  if (!ExecuteSql(db, u"COMMIT;")) return Fail(rollback(sqlite3_errcode(db)));
  store_->Record(SQLITE_OK);
  return newId;
}

Result<void> rg_PlayStore::Delete(std::int64_t playId) {
  if (const rg_StoreStatus ready = store_->Ready(true); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  const auto table = TableIn(store_->Handle());
  if (!table) return Fail(store_->Record(sqlite3_errcode(store_->Handle())));
  if (!*table) return {};
  rg_SqlStatement s(store_->Handle(), u"DELETE FROM xyh_plays WHERE _id=?;");
  s.BindInt(1, playId);
  const int rc = s.Valid() ? s.Step() : s.PrepareCode();
  const rg_StoreStatus status = store_->Record(rc);
  if (rc != SQLITE_DONE) return Fail(status);
  return {};
}

Result<std::int64_t> rg_PlayStore::CountFor(std::span<const std::int64_t> castIds) {
  if (const rg_StoreStatus ready = store_->Ready(false); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  sqlite3* db = store_->Handle();
  const auto table = TableIn(db);
  if (!table) return Fail(store_->Record(sqlite3_errcode(db)));
  if (!*table || castIds.empty()) return 0;
  rg_SqlStatement s(
      db, u"SELECT count(*) FROM xyh_plays WHERE castid IN (SELECT value FROM json_each(?));");
  if (!s.Valid()) return Fail(store_->Record(s.PrepareCode()));
  s.BindText(1, rg_EasyDb::IdArray(castIds));
  const int rc = s.Step();
  if (const rg_StoreStatus status = store_->Record(rc); rc != SQLITE_ROW) return Fail(status);
  return s.ColumnInt(0);
}

Result<std::map<std::int64_t, std::vector<rg_StoredPlay>>> rg_PlayStore::ReadAll(sqlite3* db) {
  std::map<std::int64_t, std::vector<rg_StoredPlay>> out;
  const auto table = TableIn(db);
  if (!table) return Fail(rg_StoreStatus::Failed);
  if (!*table) return out;
  rg_SqlStatement s(db, std::u16string(kSelect) + u" ORDER BY _id;");
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    if (auto p = PlayFromRow(s)) out[p->castId].push_back(std::move(*p));
  }
  if (rc != SQLITE_DONE) return Fail(rg_StoreStatus::Failed);
  return out;
}

std::vector<rg_StoredPlay> rg_PlayStore::List(std::optional<std::int64_t> castId) {
  std::vector<rg_StoredPlay> out;
  if (store_->Ready(false) != rg_StoreStatus::Ok) return out;
  sqlite3* db = store_->Handle();
  const auto table = TableIn(db);
  if (!table) {
    store_->Record(sqlite3_errcode(db));
    return out;
  }
  if (!*table) return out;
  rg_SqlStatement s(
      db, std::u16string(kSelect) + (castId ? u" WHERE castid=?" : u"") + u" ORDER BY _id;");
  if (castId) s.BindInt(1, *castId);
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return out;
  }
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    if (auto p = PlayFromRow(s)) out.push_back(std::move(*p));
  }
  store_->Record(rc);
  return out;
}

std::map<std::int64_t, std::vector<rg_Play>> rg_PlayStore::ByCast() {
  std::map<std::int64_t, std::vector<rg_Play>> out;
  for (rg_StoredPlay& p : List()) out[p.castId].push_back(std::move(p.play));
  return out;
}

}  // namespace rg_com_ptl_xyh
