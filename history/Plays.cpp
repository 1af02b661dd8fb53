#include "history/Plays.h"

#include <sqlite3.h>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "history/SqlStatement.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

// Beside each row: the stored type of its 倍数 (2.5 must not read as 2) and
// whether its cast is still there.
constexpr std::u16string_view kSelect =
    u"SELECT p._id,p.castid,p.dan,p.red,p.blue,p.multiple,typeof(p.multiple),"
    u"EXISTS(SELECT 1 FROM xyh_table t WHERE t._id=p.castid) FROM xyh_plays p";

// A stored text in a message: bounded, printable ASCII only.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 20;
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
    const char c = text[i];
    out += (c >= 0x20 && c < 0x7f) ? c : '?';
  }
  if (text.size() > kShown) out += "...";
  return out + "\"";
}

// Why the row is no play this program could have stored; empty when it
// reads back whole (then play holds it). The file may have been edited.
std::string RowDamage(const rg_SqlStatement& s, rg_Play& play) {
  if (s.ColumnInt(7) == 0) return "castid 没有编号为 " + Quoted(s.ColumnUtf8(1)) + " 的演算";
  struct List {
    int column;
    const char* field;
    std::vector<int>* into;
  };
  for (const List& list :
       {List{2, "dan", &play.dan}, List{3, "red", &play.red}, List{4, "blue", &play.blue}}) {
    auto numbers = ParseNumberList(s.ColumnUtf8(list.column));
    if (!numbers)
      return std::string(list.field) + " 含有 " + Quoted(numbers.error().message) + ",不是号码";
    *list.into = std::move(*numbers);
  }
  const long long multiple = s.ColumnInt(5);
  if (s.ColumnUtf8(6) != "integer" || multiple < 1 || multiple > kPlayMaxMultiple)
    return "multiple 应为 1 至 " + std::to_string(kPlayMaxMultiple) + " 的整数,不能是 " +
           Quoted(s.ColumnUtf8(5));
  play.multiple = static_cast<int>(multiple);
  if (const std::u16string why = PlayRefusal(play); !why.empty()) return ToUtf8(why);
  return {};
}

rg_StoredPlay PlayFromRow(const rg_SqlStatement& s) {
  rg_StoredPlay p;
  p.id = s.ColumnInt(0);
  p.castId = s.ColumnInt(1);
  p.damage = RowDamage(s, p.play);
  if (p.damage.empty()) {
    SortPlay(p.play);
  } else {
    p.play = rg_Play{};
  }
  return p;
}

}  // namespace

std::string DamagedCastRefusal(std::int64_t castId, const std::string& damage) {
  return "编号为 " + std::to_string(castId) + " 的演算已损坏,无法投注 (" + damage + ")";
}

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
    // A damaged cast is never cast again, so a play with it could never be checked.
    rg_SqlStatement cast(db, u"SELECT " + std::u16string(rg_EasyDb::kRecordColumns) +
                                 u" FROM xyh_table WHERE _id=?;");
    cast.BindInt(1, castId);
    const int rc = cast.Valid() ? cast.Step() : cast.PrepareCode();
    if (rc == SQLITE_DONE) {
      rollback(SQLITE_OK);
      return NotFound();
    }
    if (rc != SQLITE_ROW) return Fail(rollback(rc));
    rg_YsModel record;
    std::u16string scratch;
    rg_EasyDb::RecordFromRow(cast, record, scratch);
    if (!record.damage.empty()) {
      rollback(SQLITE_OK);
      return Refused(DamagedCastRefusal(castId, record.damage));
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
  if (!*table) return NotFound();
  rg_SqlStatement s(store_->Handle(), u"DELETE FROM xyh_plays WHERE _id=?;");
  s.BindInt(1, playId);
  const int rc = s.Valid() ? s.Step() : s.PrepareCode();
  const rg_StoreStatus status = store_->Record(rc);
  if (rc != SQLITE_DONE) return Fail(status);
  if (sqlite3_changes(store_->Handle()) == 0) return NotFound();
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
  rg_SqlStatement s(db, std::u16string(kSelect) + u" ORDER BY p._id;");
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    rg_StoredPlay p = PlayFromRow(s);
    out[p.castId].push_back(std::move(p));
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
      db, std::u16string(kSelect) + (castId ? u" WHERE p.castid=?" : u"") + u" ORDER BY p._id;");
  if (castId) s.BindInt(1, *castId);
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return out;
  }
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) out.push_back(PlayFromRow(s));
  store_->Record(rc);
  return out;
}

std::map<std::int64_t, std::vector<rg_Play>> rg_PlayStore::ByCast() {
  std::map<std::int64_t, std::vector<rg_Play>> out;
  for (rg_StoredPlay& p : List()) {
    if (p.damage.empty()) out[p.castId].push_back(std::move(p.play));
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
