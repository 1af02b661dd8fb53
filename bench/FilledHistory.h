#pragma once
// A program directory whose history holds many saved casts, made once per
// benchmark run in a temporary folder.
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "history/EasyDb.h"

namespace bench_support {

inline const std::filesystem::path& FilledHistoryHome(int rows) {
  namespace fs = std::filesystem;
  static const fs::path home = [rows] {
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-XXXXXX").string();
    fs::path dir = mkdtemp(pattern.data());
    {
      rg_com_ptl_xyh::rg_EasyDb db;  // creates the file and its table
      db.Open(dir);
    }
    // One transaction around all inserts keeps the set-up quick.
    sqlite3* db = nullptr;
    sqlite3_open(rg_com_ptl_xyh::rg_EasyDb::FileIn(dir).c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
        "VALUES (?,1,'1234567',45415.5,3,'','','0,0,1,0,0,0',0,'备注');",
        -1, &s, nullptr);
    for (int i = 0; i < rows; ++i) {
      const std::string name = "测试标题" + std::to_string(i) + "(2024年5月3日14时5分9秒)";
      sqlite3_bind_text(s, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return dir;
  }();
  return home;
}

// The listing's SELECT with no conversion at all: the yardstick.
inline long long RawList(const std::filesystem::path& home) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rg_com_ptl_xyh::rg_EasyDb::FileIn(home).c_str(), &db, SQLITE_OPEN_READWRITE,
                  nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT _id,ysname From xyh_table ORDER BY _id DESC;", -1, &s, nullptr);
  long long sum = 0;
  while (sqlite3_step(s) == SQLITE_ROW) {
    sum += sqlite3_column_int64(s, 0);
    sum += reinterpret_cast<const char*>(sqlite3_column_text(s, 1))[0];
    sum += sqlite3_column_bytes(s, 1);
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return sum;
}

}  // namespace bench_support
