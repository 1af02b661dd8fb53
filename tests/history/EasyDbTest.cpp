#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <fstream>
#include <set>

#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/Records.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using test_support::StoredCast;
using test_support::TempDir;

namespace {

// A cast of lines.
rg_YsModel Sample(const std::u16string& name) {
  rg_YsModel r = test_support::NumberCast(name, u"备注");
  r.ysindex = 2;
  r.ysnumber = u"";
  r.ysday = MakeDate(2024, 5, 3, 14, 5, 9);
  r.gzsxid = 7;
  r.upstr = u"010";
  r.downstr = u"101";
  r.dong = {1, 0, 0, -1, 0, 0};
  return r;
}

constexpr auto Bytes = &test_support::FileBytes;

// Runs one statement on its own connection and returns the first column.
std::string Query(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* s = nullptr;
  std::string out;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
      sqlite3_step(s) == SQLITE_ROW) {
    const auto* text = sqlite3_column_text(s, 0);
    out = text ? reinterpret_cast<const char*>(text) : "(null)";
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return out;
}

}  // namespace

TEST(Statements, Builders) {
  EXPECT_EQ((rg_SqlColumn{u"ysindex", u"INT(4)", u"0"}).Definition(), u"ysindex INT(4) DEFAULT 0");
  EXPECT_EQ((rg_SqlColumn{u"ysname", u"VARCHAR(255) NOT NULL", u""}).Definition(),
            u"ysname VARCHAR(255) NOT NULL");
  EXPECT_EQ(
      rg_EasyDb::CreateTableStatement(),
      u"CREATE TABLE xyh_table (_id integer primary key autoincrement,ysname VARCHAR(255) NOT NULL,"
      u"ysindex INT(4) DEFAULT 0,ysnumber VARCHAR(32) NOT NULL,ysday DOUBLE DEFAULT 0,"
      u"gzsxid INT(4) DEFAULT 0,upstr VARCHAR(3) DEFAULT null,downstr VARCHAR(3) DEFAULT null,"
      u"dong VARHCAR(18) NOT NULL,rot INT(1) DEFAULT 0,uinfo TEXT DEFAULT null);");
  EXPECT_EQ(BuildCreateTable(u"t", {u"a INT", u"b TEXT"}, {u"a", u"b"}),
            u"CREATE TABLE t (a INT,b TEXT,UNIQUE (a,b));");
  EXPECT_EQ(rg_EasyDb::ListStatement(), u"SELECT _id,ysname From xyh_table ORDER BY _id DESC;");
  EXPECT_EQ(BuildSelect(u"SeLeCt", {}, u"t", u"", u""), u"SELECT * From t;");
  EXPECT_EQ(BuildSelect(u"select", {u"a"}, u"t", u"a>1", u"a"),
            u"SELECT a From t WHERE a>1 ORDER BY a;");
  EXPECT_EQ(BuildSelect(u"delete", {u"a"}, u"t", u"", u""), u"");
}

TEST(Statements, WithoutAConnectionNothingHappens) {
  rg_SqlStatement s(nullptr, u"SELECT 1;");
  EXPECT_FALSE(s.Valid());
  s.BindText(1, u"x");
  EXPECT_NE(s.Step(), SQLITE_ROW);
  EXPECT_NE(s.Step(), SQLITE_DONE);
  EXPECT_EQ(s.ColumnText(0), u"");
  EXPECT_FALSE(ExecuteSql(nullptr, u"SELECT 1;"));
}

TEST(EasyDb, FirstStartCreatesTheFileAndTheSecondOnlyOpensIt) {
  TempDir home;
  const auto file = rg_EasyDb::FileIn(home.path());
  EXPECT_EQ(file, home.path() / "src" / "data" / "xyh.db");
  {
    rg_EasyDb db;
    EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Created);
    EXPECT_TRUE(db.Connected());
  }
  EXPECT_EQ(FromUtf8(Query(file, "SELECT sql || ';' FROM sqlite_master WHERE name='xyh_table'")),
            rg_EasyDb::CreateTableStatement());
  const std::string before = Bytes(file);
  {
    rg_EasyDb db;
    EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Opened);
    EXPECT_TRUE(db.List().empty());
    // An open, checked and listed history of one page holds no room for
    // pages it has not read (by default a connection keeps about 85 KiB).
    EXPECT_LT(sqlite3_memory_used(), 64 * 1024);
  }
  EXPECT_EQ(Bytes(file), before);
}

TEST(EasyDb, SaveListLoadDeleteUpdate) {
  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  const rg_YsModel r = Sample(u"甲(2024年5月3日14时5分9秒)");
  ASSERT_TRUE(db.Save(r));
  ASSERT_TRUE(db.Save(r));  // the same reading twice: two rows
  ASSERT_TRUE(db.Save(Sample(u"乙")));
  const auto list = db.List();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, u"乙");  // newest first
  EXPECT_GT(list[0].id, list[1].id);
  EXPECT_GT(list[1].id, list[2].id);
  EXPECT_EQ(list[1].name, r.ysname);

  rg_YsModel loaded = StoredCast(db, list[2].id);
  rg_YsModel expected = r;
  expected._id = list[2].id;
  EXPECT_EQ(loaded, expected);  // Chinese name and note, dong, day all come back

  loaded.uinfo = u"新的备注";
  ASSERT_TRUE(db.Save(loaded));  // an id: update in place
  EXPECT_EQ(StoredCast(db, loaded._id).uinfo, u"新的备注");
  EXPECT_EQ(db.List().size(), 3u);

  EXPECT_TRUE(db.Delete(list[2].id));
  EXPECT_TRUE(db.Delete(list[2].id));                     // already gone: still true
  EXPECT_FALSE(db.Load(list[2].id).value().has_value());  // no row, no failure
  EXPECT_EQ(db.List().size(), 2u);
}

TEST(EasyDb, DongTextFormsAndHostileTitles) {
  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  rg_YsModel empty = Sample(u"x");
  empty.dong.clear();
  ASSERT_TRUE(db.Save(empty));
  const auto file = rg_EasyDb::FileIn(home.path());
  EXPECT_EQ(Query(file, "SELECT '[' || dong || ']' FROM xyh_table"), "[]");
  Query(file, "UPDATE xyh_table SET dong='1,,-1'");
  EXPECT_EQ(StoredCast(db, db.List()[0].id).dong, (std::vector<int32_t>{1, -1}));

  const std::u16string hostile = u"a'); DROP TABLE xyh_table; -- \"引号\" \\ %s";
  ASSERT_TRUE(db.Save(Sample(hostile)));
  EXPECT_EQ(db.List()[0].name, hostile);
  EXPECT_EQ(Query(file, "SELECT count(*) FROM xyh_table"), "2");
}

TEST(EasyDb, AFileThatIsNoDatabaseIsNeverTouched) {
  TempDir home;
  const auto file = rg_EasyDb::FileIn(home.path());
  std::filesystem::create_directories(file.parent_path());
  std::string junk = "this is not a database\n";
  for (int i = 0; i < 200; ++i) junk += std::to_string(i * 7919);
  std::ofstream(file, std::ios::binary) << junk;

  rg_EasyDb db;
  EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Failed);
  EXPECT_FALSE(db.Connected());
  EXPECT_FALSE(db.Save(Sample(u"x")));
  EXPECT_FALSE(db.Delete(1));
  EXPECT_TRUE(db.List().empty());
  EXPECT_EQ(StatusOf(db.Load(1)), rg_StoreStatus::NotConnected);
  db.Close();
  EXPECT_EQ(Bytes(file), junk);
}

TEST(EasyDb, ADatabaseWithoutTheTableIsRepaired) {
  TempDir home;
  const auto file = rg_EasyDb::FileIn(home.path());
  std::filesystem::create_directories(file.parent_path());
  {
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    sqlite3_exec(raw, "CREATE TABLE other (x);", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  rg_EasyDb db;
  EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Repaired);
  EXPECT_TRUE(db.Save(Sample(u"x")));
  EXPECT_EQ(db.List().size(), 1u);

  // An empty file (a crash right after creating it) is an empty database.
  TempDir other;
  const auto emptyFile = rg_EasyDb::FileIn(other.path());
  std::filesystem::create_directories(emptyFile.parent_path());
  std::ofstream(emptyFile).close();
  rg_EasyDb db2;
  EXPECT_EQ(db2.Open(other.path()), rg_EasyDb::OpenResult::Repaired);
  EXPECT_TRUE(db2.Save(Sample(u"y")));
}

TEST(EasyDb, AnUnreachableFolderLeavesTheStoreClosed) {
  TempDir home;
  std::ofstream(home.path() / "src").close();  // a file where the folder should be
  rg_EasyDb db;
  EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Failed);
  EXPECT_FALSE(db.Save(Sample(u"x")));
}

TEST(EasyDb, AKilledWriterLeavesAnIntactFileWithEverySavedRow) {
  TempDir home;
  {
    rg_EasyDb db;
    db.Open(home.path());
  }
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeFds[0]);
    rg_EasyDb db;
    db.Open(home.path());
    for (int i = 0;; ++i) {
      if (db.Save(Sample(u"row " + DecimalText(i)))) {
        const std::string line = std::to_string(i) + "\n";
        if (write(pipeFds[1], line.data(), line.size()) < 0) _exit(1);
      }
    }
  }
  close(pipeFds[1]);
  std::string acknowledged;
  char buf[4096];
  // Let it write a few hundred rows, then kill it mid-flight.
  while (std::count(acknowledged.begin(), acknowledged.end(), '\n') < 300) {
    const ssize_t n = read(pipeFds[0], buf, sizeof buf);
    if (n <= 0) break;
    acknowledged.append(buf, static_cast<size_t>(n));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;)
    acknowledged.append(buf, static_cast<size_t>(n));
  close(pipeFds[0]);

  const auto file = rg_EasyDb::FileIn(home.path());
  EXPECT_EQ(Query(file, "PRAGMA integrity_check"), "ok");
  rg_EasyDb db;
  ASSERT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Opened);
  std::set<std::u16string> names;
  for (const auto& e : db.List()) names.insert(e.name);
  size_t count = 0;
  for (size_t start = 0, end; (end = acknowledged.find('\n', start)) != std::string::npos;
       start = end + 1) {
    EXPECT_TRUE(names.count(u"row " + FromUtf8(acknowledged.substr(start, end - start))) == 1);
    ++count;
  }
  EXPECT_GE(count, 300u);
}
