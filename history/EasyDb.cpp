#include "history/EasyDb.h"

#include <sqlite3.h>

#include <system_error>

namespace rg_com_ptl_xyh {

namespace {

constexpr std::u16string_view kTable = u"xyh_table";
// A second process on the same file (the command line while the window
// runs) waits this long for a lock instead of failing at once.
constexpr int kBusyTimeoutMs = 5000;

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
  if (sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close_v2(db);
    return OpenResult::Failed;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);

  OpenResult result = OpenResult::Created;
  if (existed) {
    // SQLite opens any file; whether it is a database shows at the first read.
    rg_SqlStatement probe(db, u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='xyh_table';");
    if (probe.Step() != SQLITE_ROW) {
      probe.Finalize();
      sqlite3_close_v2(db);
      return OpenResult::Failed;
    }
    result = probe.ColumnInt(0) == 0 ? OpenResult::Repaired : OpenResult::Opened;
  }
  Close();
  db_ = db;
  path_ = file;
  if (result != OpenResult::Opened) ExecuteSql(db_, CreateTableStatement());
  return result;
}

rg_YsModel rg_EasyDb::Load(std::int32_t id) {
  rg_YsModel r;
  rg_SqlStatement s(db_, u"SELECT _id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo FROM xyh_table Where _id=?;");
  s.BindInt(1, id);
  if (s.Step() != SQLITE_ROW) return r;
  r._id = static_cast<std::int32_t>(s.ColumnInt(0));
  r.ysname = s.ColumnText(1);
  r.ysindex = static_cast<std::int32_t>(s.ColumnInt(2));
  r.ysnumber = s.ColumnText(3);
  r.ysday = s.ColumnDouble(4);
  r.gzsxid = static_cast<std::int32_t>(s.ColumnInt(5));
  r.upstr = s.ColumnText(6);
  r.downstr = s.ColumnText(7);
  r.AppendDongFromText(s.ColumnText(8));
  r.rot = static_cast<std::int32_t>(s.ColumnInt(9));
  r.uinfo = s.ColumnText(10);
  return r;
}

bool rg_EasyDb::Save(const rg_YsModel& record) {
  rg_SqlStatement s;
  if (record._id < 1) {
    s.Prepare(db_, u"INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) VALUES (?,?,?,?,?,?,?,?,?,?);");
  } else {
    s.Prepare(db_, u"UPDATE xyh_table SET ysname=?,ysindex=?,ysnumber=?,ysday=?,gzsxid=?,upstr=?,downstr=?,dong=?,rot=?,uinfo=? WHERE _id=?;");
    s.BindInt(11, record._id);
  }
  BindFields(s, record);
  return s.Step() == SQLITE_DONE;
}

bool rg_EasyDb::Delete(std::int32_t id) {
  rg_SqlStatement s(db_, u"DELETE FROM xyh_table WHERE _id=?;");
  s.BindInt(1, id);
  return s.Step() == SQLITE_DONE;
}

std::vector<rg_HistoryEntry> rg_EasyDb::List() {
  std::vector<rg_HistoryEntry> out;
  VisitList([&out](std::int32_t id, std::u16string_view name) {
    out.push_back({id, std::u16string(name)});
  });
  return out;
}

void rg_EasyDb::VisitList(
    const std::function<void(std::int32_t id, std::u16string_view name)>& visit) {
  rg_SqlStatement s(db_, ListStatement());
  std::u16string scratch;
  while (s.Step() == SQLITE_ROW) {
    visit(static_cast<std::int32_t>(s.ColumnInt(0)), s.ColumnText(1, scratch));
  }
}

void rg_EasyDb::Close() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void rg_EasyDb::Shutdown() { sqlite3_shutdown(); }

}  // namespace rg_com_ptl_xyh
