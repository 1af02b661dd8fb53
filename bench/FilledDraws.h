#pragma once
// A program directory whose draw archive holds many 双色球 draws (three a
// week, numbers made up but valid), made once per benchmark run.
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace bench_support {

inline const std::filesystem::path& FilledDrawsHome(int draws) {
  namespace fs = std::filesystem;
  static const fs::path home = [draws] {
    using namespace rg_com_ptl_xyh;
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-draws-XXXXXX").string();
    fs::path dir = mkdtemp(pattern.data());
    std::string csv = "issue,date,red,blue\n";
    unsigned seed = 2026;
    const auto next = [&seed] {
      return seed = seed * 1103515245u + 12345u, static_cast<int>((seed >> 16) & 0x7fff);
    };
    double day = MakeDate(2003, 2, 23);  // the first 双色球 draw
    int year = 0, issue = 0;
    for (int i = 0; i < draws;) {
      const DateParts p = SplitDate(day);
      if (p.weekday == 1 || p.weekday == 3 || p.weekday == 5) {
        if (p.year != year) year = p.year, issue = 0;
        std::vector<int> reds;
        while (reds.size() < 6) {
          const int n = next() % 33 + 1;
          if (std::find(reds.begin(), reds.end(), n) == reds.end()) reds.push_back(n);
        }
        csv += std::to_string(year * 1000 + ++issue) + "," + ToUtf8(DrawDateText(day)) + "," +
               NumbersText(reds) + "," + NumbersText({next() % 16 + 1}) + "\n";
        ++i;
      }
      day = AddDays(day, 1);
    }
    rg_EasyDb db;
    db.Open(dir);
    if (!rg_DrawArchive(db).Import(LotteryCode::DoubleColor, csv, Clock::System().Now()))
      std::abort();
    return dir;
  }();
  return home;
}

// The archive's rows through the bare SQLite interface, every column
// touched and nothing converted: the yardstick.
inline long long RawDrawRows(const std::filesystem::path& home) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rg_com_ptl_xyh::rg_EasyDb::FileIn(home).c_str(), &db, SQLITE_OPEN_READWRITE,
                  nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(
      db,
      "SELECT lottery,issue,drawdate,numbers,extra,stored FROM xyh_draws WHERE lottery=101 "
      "ORDER BY drawdate,length(issue),issue;",
      -1, &s, nullptr);
  long long sum = 0;
  while (sqlite3_step(s) == SQLITE_ROW) {
    sum += sqlite3_column_int64(s, 0);
    for (int c = 1; c <= 4; ++c) {
      sum += reinterpret_cast<const char*>(sqlite3_column_text(s, c))[0];
      sum += sqlite3_column_bytes(s, c);
    }
    sum += static_cast<long long>(sqlite3_column_double(s, 5));
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return sum;
}

}  // namespace bench_support
