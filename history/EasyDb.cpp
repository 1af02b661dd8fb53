#include "history/EasyDb.h"

#include <sqlite3.h>

#include <string>
#include <system_error>

#include "history/Plays.h"
#include "history/SavedCastCheck.h"
#include "platform/Folders.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::u16string_view kTable = u"xyh_table";

const std::vector<rg_SqlColumn>& Columns() {
  static const std::vector<rg_SqlColumn> columns = {
      {u"_id", u"integer primary key autoincrement", u""},
      {u"ysname", u"VARCHAR(255) NOT NULL", u""},
      {u"ysindex", u"INT(4)", u"0"},
      {u"ysnumber", u"VARCHAR(32) NOT NULL", u""},
      {u"ysday", u"DOUBLE", u"0"},
      {u"gzsxid", u"INT(4)", u"0"},
      {u"upstr", u"VARCHAR(3)", u"null"},
      {u"downstr", u"VARCHAR(3)", u"null"},
      {u"dong", u"VARHCAR(18) NOT NULL", u""},  // spelled so since the first version
      {u"rot", u"INT(1)", u"0"},
      {u"uinfo", u"TEXT", u"null"},
  };
  return columns;
}

void BindFields(rg_SqlStatement& s, const rg_YsModel& r) {
  s.BindText(1, r.ysname);
  s.BindInt(2, r.ysindex);
  s.BindText(3, r.ysnumber);
  s.BindDouble(4, r.ysday);
  s.BindInt(5, r.gzsxid);
  s.BindText(6, r.upstr);
  s.BindText(7, r.downstr);
  s.BindText(8, r.DongText());
  s.BindInt(9, r.rot);
  s.BindText(10, r.uinfo);
}

// Opens a connection, setting SQLite up first if this is the process's
// first. By default every connection sets aside room for 20 pages as it
// opens and writes into each; a history of some hundred casts fills a few
// pages, so pages are taken as they are read instead, and the window starts
// about 170 KiB smaller. The setting is refused once SQLite is in use, which
// only a test that opened a file by hand can have done; the default then
// stays, which is as correct.
int OpenConnection(const std::filesystem::path& file, int flags, sqlite3** db) {
  static const bool configured = [] {
    return sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0) == SQLITE_OK;
  }();
  static_cast<void>(configured);
  // SQLite takes UTF-8 names on every system; string() is the ANSI code
  // page on Windows.
  return sqlite3_open_v2(PathToUtf8(file).c_str(), db, flags, nullptr);
}

}  // namespace

rg_EasyDb& rg_EasyDb::Process() {
  static rg_EasyDb store;
  return store;
}

std::filesystem::path rg_EasyDb::FileIn(const std::filesystem::path& home) {
  return home / "src" / "data" / "xyh.db";
}

std::u16string rg_EasyDb::CreateTableStatement() {
  std::vector<std::u16string> definitions;
  for (const rg_SqlColumn& c : Columns()) definitions.push_back(c.Definition());
  return BuildCreateTable(kTable, definitions);
}

std::u16string rg_EasyDb::ListStatement() {
  return BuildSelect(u"select", {u"_id", u"ysname"}, kTable, u"", u"_id DESC");
}

std::u16string rg_EasyDb::IdArray(std::span<const std::int64_t> ids) {
  std::string list = "[";
  for (const std::int64_t id : ids) {
    if (list.size() > 1) list += ',';
    list += std::to_string(id);
  }
  list += ']';
  return FromUtf8(list);
}

std::u16string StoreStatusText(rg_StoreStatus status) {
  switch (status) {
    case rg_StoreStatus::Ok: return {};
    case rg_StoreStatus::NotConnected: return u"历史记录文件无法打开";
    case rg_StoreStatus::Busy: return u"历史记录文件正被其他程序使用,请稍后再试";
    case rg_StoreStatus::Damaged: return u"历史记录文件已损坏,只能查看能读出的记录,不能保存或删除";
    case rg_StoreStatus::Failed: return u"历史记录文件读写出错";
  }
  return {};
}

rg_EasyDb::Check rg_EasyDb::CheckFile() {
  const auto fromCode = [](int rc) {
    switch (rc & 0xFF) {
      case SQLITE_BUSY:
      case SQLITE_LOCKED: return Check::Busy;
      case SQLITE_NOTADB: return Check::NotADatabase;
      case SQLITE_CORRUPT: return Check::Damaged;
      default: return Check::Failed;
    }
  };
  {
    // Reads every page of the file, but skips the costly cross-checks of
    // integrity_check; one finding is enough to know.
    rg_SqlStatement quick(db_, u"PRAGMA quick_check(1);");
    if (!quick.Valid()) return fromCode(quick.PrepareCode());
    const int rc = quick.Step();
    if (rc != SQLITE_ROW) return fromCode(rc);
    if (quick.ColumnText(0) != u"ok") return Check::Damaged;
  }
  rg_SqlStatement probe(
      db_, u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='xyh_table';");
  if (!probe.Valid()) return fromCode(probe.PrepareCode());
  const int rc = probe.Step();
  if (rc != SQLITE_ROW) return fromCode(rc);
  return probe.ColumnInt(0) == 0 ? Check::NoTable : Check::Sound;
}

bool rg_EasyDb::ReopenReadOnly() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
  sqlite3* db = nullptr;
  if (OpenConnection(path_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, &db) != SQLITE_OK) {
    sqlite3_close_v2(db);
    return false;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  db_ = db;
  return true;
}

rg_EasyDb::OpenResult rg_EasyDb::Open(const std::filesystem::path& home) {
  const std::filesystem::path file = FileIn(home);
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  const bool existed = std::filesystem::exists(file, ec);
  // The connection is only ever used from the thread that opened it, so it
  // needs no locking of its own.
  const int flags = (existed ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                    SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  if (OpenConnection(file, flags, &db) != SQLITE_OK) {
    sqlite3_close_v2(db);
    return OpenResult::Failed;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  Close();
  db_ = db;
  path_ = file;
  damaged_ = false;
  checked_ = false;
  status_ = rg_StoreStatus::Ok;
  if (!existed) {
    ExecuteSql(db_, CreateTableStatement());
    checked_ = true;
    return OpenResult::Created;
  }
  // SQLite opens any file; whether it is a sound database shows when it
  // is read.
  switch (CheckFile()) {
    case Check::Sound: checked_ = true; return OpenResult::Opened;
    case Check::NoTable:
      checked_ = true;
      ExecuteSql(db_, CreateTableStatement());
      return OpenResult::Repaired;
    case Check::Damaged:
      // From now on the file is only read, so nothing can make it worse.
      checked_ = true;
      damaged_ = true;
      status_ = rg_StoreStatus::Damaged;
      return ReopenReadOnly() ? OpenResult::Damaged : OpenResult::Failed;
    case Check::Busy:
      // Stays connected: the check runs again before the next operation.
      status_ = rg_StoreStatus::Busy;
      return OpenResult::Busy;
    case Check::NotADatabase:
    case Check::Failed: break;
  }
  Close();
  return OpenResult::Failed;
}

Result<void> rg_EasyDb::OpenChecked(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  if (OpenConnection(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &db) != SQLITE_OK) {
    sqlite3_close_v2(db);
    status_ = rg_StoreStatus::NotConnected;
    return Failed();
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  Close();
  db_ = db;
  path_ = file;
  damaged_ = false;
  checked_ = true;
  status_ = rg_StoreStatus::Ok;
  return {};
}

rg_StoreStatus rg_EasyDb::Ready(bool write) {
  if (db_ == nullptr) return status_ = rg_StoreStatus::NotConnected;
  if (!checked_) {
    switch (CheckFile()) {
      case Check::Sound: break;
      case Check::NoTable: ExecuteSql(db_, CreateTableStatement()); break;
      case Check::Damaged:
        damaged_ = true;
        if (!ReopenReadOnly()) return status_ = rg_StoreStatus::NotConnected;
        break;
      case Check::Busy: return status_ = rg_StoreStatus::Busy;
      case Check::NotADatabase: Close(); return status_ = rg_StoreStatus::NotConnected;
      case Check::Failed: return status_ = rg_StoreStatus::Failed;
    }
    checked_ = true;
  }
  if (write && damaged_) return status_ = rg_StoreStatus::Damaged;
  return status_ = rg_StoreStatus::Ok;
}

rg_StoreStatus rg_EasyDb::Record(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return status_ = rg_StoreStatus::Ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return status_ = rg_StoreStatus::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      // Found in use: no more writes into it during this run.
      damaged_ = true;
      return status_ = rg_StoreStatus::Damaged;
    default: return status_ = rg_StoreStatus::Failed;
  }
}

Result<std::optional<rg_YsModel>> rg_EasyDb::Load(std::int64_t id) {
  if (Ready(false) != rg_StoreStatus::Ok) return Failed();
  // No row is only what SQLite says is none; any other step fails.
  const auto none = [this](int rc) -> Result<std::optional<rg_YsModel>> {
    if (Record(rc) != rg_StoreStatus::Ok) return Failed();
    return std::nullopt;
  };
  rg_SqlStatement s(db_,
                    u"SELECT " + std::u16string(kRecordColumns) + u" FROM xyh_table Where _id=?;");
  if (!s.Valid()) return none(s.PrepareCode());
  s.BindInt(1, id);
  const int rc = s.Step();
  if (rc != SQLITE_ROW) return none(rc);
  rg_YsModel r;
  std::u16string scratch;
  RecordFromRow(s, r, scratch);
  return r;
}

std::optional<std::u16string> rg_EasyDb::Note(std::int64_t id) {
  if (db_ == nullptr || !checked_) return std::nullopt;
  // A tooltip must never hold up the window.
  sqlite3_busy_timeout(db_, 0);
  std::optional<std::u16string> note;
  {
    rg_SqlStatement s(db_, u"SELECT uinfo FROM xyh_table WHERE _id=?;");
    s.BindInt(1, id);
    if (s.Step() == SQLITE_ROW) note = s.ColumnText(0);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  return note;
}

Result<void> rg_EasyDb::Save(const rg_YsModel& record) {
  if (Ready(true) != rg_StoreStatus::Ok) return Failed();
  rg_SqlStatement s;
  if (record._id < 1) {
    s.Prepare(
        db_,
        u"INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) VALUES (?,?,?,?,?,?,?,?,?,?);");
  } else {
    s.Prepare(
        db_,
        u"UPDATE xyh_table SET ysname=?,ysindex=?,ysnumber=?,ysday=?,gzsxid=?,upstr=?,downstr=?,dong=?,rot=?,uinfo=? WHERE _id=?;");
    s.BindInt(11, record._id);
  }
  if (!s.Valid()) {
    Record(s.PrepareCode());
    return Failed();
  }
  BindFields(s, record);
  const int rc = s.Step();
  Record(rc);
  if (rc != SQLITE_DONE) return Failed();
  return {};
}

Result<void> rg_EasyDb::Delete(std::int64_t id) {
  if (Ready(true) != rg_StoreStatus::Ok) return Failed();
  // The plays bought with the cast (kept beside it by rg_PlayStore) go in
  // the same transaction: neither is ever left without the other.
  if (!ExecuteSql(db_, u"BEGIN IMMEDIATE;")) {
    Record(sqlite3_errcode(db_));
    return Failed();
  }
  const auto step = [this, id](std::u16string_view text) {
    rg_SqlStatement s(db_, text);
    if (!s.Valid()) return s.PrepareCode();
    s.BindInt(1, id);
    return s.Step();
  };
  int rc = SQLITE_DONE;
  {
    rg_SqlStatement probe(
        db_, u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='xyh_plays';");
    rc = probe.Valid() ? probe.Step() : probe.PrepareCode();
    if (rc == SQLITE_ROW)
      rc = probe.ColumnInt(0) != 0 ? step(u"DELETE FROM xyh_plays WHERE castid=?;") : SQLITE_DONE;
  }
  if (rc == SQLITE_DONE) rc = step(u"DELETE FROM xyh_table WHERE _id=?;");
  if (rc == SQLITE_DONE && !ExecuteSql(db_, u"COMMIT;")) rc = sqlite3_errcode(db_);
  if (rc != SQLITE_DONE) {
    Record(rc);
    ExecuteSql(db_, u"ROLLBACK;");
    return Failed();
  }
  Record(rc);
  return {};
}

Result<std::int64_t> rg_EasyDb::DeleteMany(std::span<const std::int64_t> ids) {
  if (Ready(true) != rg_StoreStatus::Ok) return Failed();
  if (ids.empty()) return 0;
  // The ids travel as one set, so each table is visited once whatever
  // their number: a statement per id would read the whole plays table
  // (which has no index on castid) once per cast.
  const std::u16string list = IdArray(ids);
  if (!ExecuteSql(db_, u"BEGIN IMMEDIATE;")) {
    Record(sqlite3_errcode(db_));
    return Failed();
  }
  const auto step = [this, &list](std::u16string_view text) {
    rg_SqlStatement s(db_, text);
    if (!s.Valid()) return s.PrepareCode();
    s.BindText(1, list);
    return s.Step();
  };
  std::int64_t deleted = 0;
  int rc = SQLITE_DONE;
  if (const auto plays = rg_PlayStore::TableIn(db_); !plays) {
    rc = sqlite3_errcode(db_);
  } else if (*plays) {
    rc = step(u"DELETE FROM xyh_plays WHERE castid IN (SELECT value FROM json_each(?));");
  }
  if (rc == SQLITE_DONE) {
    rc = step(u"DELETE FROM xyh_table WHERE _id IN (SELECT value FROM json_each(?));");
    deleted = sqlite3_changes(db_);
  }
  if (rc == SQLITE_DONE && !ExecuteSql(db_, u"COMMIT;")) rc = sqlite3_errcode(db_);
  if (rc != SQLITE_DONE) {
    Record(rc);
    ExecuteSql(db_, u"ROLLBACK;");
    return Failed();
  }
  Record(rc);
  return deleted;
}

std::vector<rg_HistoryEntry> rg_EasyDb::List() {
  std::vector<rg_HistoryEntry> out;
  VisitList([&out](std::int64_t id, std::u16string_view name) {
    out.push_back({id, std::u16string(name)});
  });
  return out;
}

rg_StoreStatus rg_EasyDb::VisitList(
    const std::function<void(std::int64_t id, std::u16string_view name)>& visit) {
  if (Ready(false) != rg_StoreStatus::Ok) return status_;
  rg_SqlStatement s(db_, ListStatement());
  if (!s.Valid()) return Record(s.PrepareCode());
  std::u16string scratch;
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    visit(s.ColumnInt(0), s.ColumnText(1, scratch));
  }
  return Record(rc);
}

void rg_EasyDb::Close() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void rg_EasyDb::Shutdown() { sqlite3_shutdown(); }

void rg_EasyDb::RecordFromRow(const rg_SqlStatement& row, rg_YsModel& r, std::u16string& scratch) {
  r._id = row.ColumnInt(0);
  r.ysname = row.ColumnText(1);
  r.ysindex = static_cast<std::int32_t>(row.ColumnInt(2));
  r.ysnumber = row.ColumnText(3);
  r.ysday = row.ColumnDouble(4);
  r.gzsxid = static_cast<std::int32_t>(row.ColumnInt(5));
  r.upstr = row.ColumnText(6);
  r.downstr = row.ColumnText(7);
  const std::u16string_view dong = row.ColumnText(8, scratch);
  r.AppendDongFromText(dong);
  r.rot = static_cast<std::int32_t>(row.ColumnInt(9));
  r.uinfo = row.ColumnText(10);
  // Checked on the values as stored: the record's own fields have already
  // read a stray piece of the marks as 0 and cut the numbers to 32 bits.
  const auto fault =
      CheckCastFields({r.ysname, row.ColumnInt(2), r.ysnumber, r.ysday, row.ColumnInt(5), r.upstr,
                       r.downstr, dong, row.ColumnInt(9), r.uinfo});
  r.damage = fault ? fault->field + " " + fault->why : std::string();
}

}  // namespace rg_com_ptl_xyh
