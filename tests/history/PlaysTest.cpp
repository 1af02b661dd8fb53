// The plays kept beside the saved casts: stored, listed, refused without a
// trace, deleted with their cast, and carried by JSON history files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "history/Plays.h"
#include "history/SavedCast.h"
#include "history/SqlStatement.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/LockHolder.h"
#include "support/Records.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using test_support::LockHolder;
using test_support::StoredCast;
using test_support::TempDir;

namespace {

rg_YsModel Cast(const std::u16string& name, int minute) {
  rg_YsModel r = test_support::NumberCast(name);
  r.ysday = MakeDate(2024, 6, 1, 8, minute, 0);
  return r;
}

const rg_Play kMultiple{{}, {1, 2, 3, 4, 5, 6, 7}, {8}, 1};
const rg_Play kDanTuo{{3, 9}, {1, 2, 4, 5, 6, 7}, {8, 9}, 3};

constexpr auto Bytes = &test_support::FileBytes;

struct Store {
  TempDir home;
  rg_EasyDb db;
  Store() {
    db.Open(home.path());
    db.Save(Cast(u"甲", 0));
    db.Save(Cast(u"乙", 1));
  }
  std::vector<rg_StoredPlay> Plays() { return rg_PlayStore(db).List(); }
};

}  // namespace

TEST(Plays, AddedListedAndDeleted) {
  Store s;
  rg_PlayStore plays(s.db);
  EXPECT_TRUE(plays.List().empty());  // no table yet: nothing, and no error
  EXPECT_EQ(plays.LastStatus(), rg_StoreStatus::Ok);
  EXPECT_TRUE(plays.Delete(1).error().notFound);
  // Unsorted numbers are kept sorted.
  const auto first = plays.Add(1, {{}, {7, 6, 5, 4, 3, 2, 1}, {8}, 1});
  const auto second = plays.Add(2, kDanTuo);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(plays.Add(1, kDanTuo));
  EXPECT_LT(*first, *second);
  const auto all = plays.List();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].play, kMultiple);
  EXPECT_EQ(all[1].castId, 2);
  EXPECT_EQ(all[1].play, kDanTuo);
  EXPECT_EQ(plays.List(1).size(), 2u);
  EXPECT_EQ(plays.ByCast()[1].size(), 2u);
  EXPECT_TRUE(plays.Delete(*first));
  const auto again = plays.Delete(*first);  // gone: said as not found
  ASSERT_FALSE(again);
  EXPECT_TRUE(again.error().notFound);
  EXPECT_EQ(plays.List(1).size(), 1u);
}

TEST(Plays, RefusalsWriteNothing) {
  Store s;
  const auto file = rg_EasyDb::FileIn(s.home.path());
  const std::string before = Bytes(file);
  rg_PlayStore plays(s.db);
  // A broken rule is refused in its own words; a cast not stored as not found.
  const struct {
    std::int64_t castId;
    rg_Play play;
    bool notFound;
  } cases[] = {
      {1, {{}, {1, 2, 3, 4, 5}, {8}, 1}, false},
      {1, {{1}, {1, 2, 3, 4, 5, 6}, {8}, 1}, false},
      {1, {{}, {1, 2, 3, 4, 5, 6}, {8}, 100}, false},
      {3, kMultiple, true},
  };
  for (const auto& c : cases) {
    const auto added = plays.Add(c.castId, c.play);
    ASSERT_FALSE(added) << *added;
    EXPECT_TRUE(added.error().refused);
    EXPECT_EQ(added.error().notFound, c.notFound);
    EXPECT_EQ(added.error().message, c.notFound ? "" : ToUtf8(PlayRefusal(c.play)));
  }
  EXPECT_EQ(Bytes(file), before);  // not even the table was made
}

// A damaged cast is never cast again: a play with it could never be checked.
TEST(Plays, NoPlayIsAddedToADamagedCast) {
  Store s;
  ASSERT_EQ(sqlite3_exec(s.db.Handle(), "UPDATE xyh_table SET gzsxid=13 WHERE _id=1;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  rg_PlayStore plays(s.db);
  const auto added = plays.Add(1, kMultiple);
  ASSERT_FALSE(added);
  EXPECT_TRUE(added.error().refused);
  EXPECT_FALSE(added.error().notFound);
  EXPECT_EQ(added.error().message, DamagedCastRefusal(1, "gzsxid 应是 1 到 12(子鼠到亥猪)"));
  EXPECT_TRUE(plays.List().empty());
  EXPECT_TRUE(plays.Add(2, kMultiple));
}

TEST(Plays, DeletingACastDeletesItsPlaysInTheSameTransaction) {
  Store s;
  rg_PlayStore plays(s.db);
  plays.Add(1, kMultiple);
  plays.Add(2, kDanTuo);
  plays.Add(1, kDanTuo);
  ASSERT_TRUE(s.db.Delete(1));
  const auto left = plays.List();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].castId, 2);

  // A cast delete that fails keeps both the cast and its plays.
  const auto file = rg_EasyDb::FileIn(s.home.path());
  {
    LockHolder lock(file);
    ASSERT_TRUE(lock.Locked());
    EXPECT_FALSE(s.db.Delete(2));
    EXPECT_EQ(s.db.LastStatus(), rg_StoreStatus::Busy);
  }
  EXPECT_EQ(StoredCast(s.db, 2)._id, 2);
  EXPECT_EQ(plays.List(2).size(), 1u);
}

// The history's 删除 of many ticked casts: one transaction with their
// plays (damaged ones too), or nothing at all.
TEST(Plays, ManyCastsGoWithTheirPlaysInOneTransactionOrNotAtAll) {
  enum class Fault { None, CastRefuses, PlayRefuses, Locked, Damaged };
  struct Row {
    const char* name;
    std::vector<std::int64_t> ids;
    Fault fault;
    bool ownThread;  // as the window runs it: a connection of its own, on another thread
    std::int64_t deleted;
    std::set<std::int64_t> castsLeft;
    std::int64_t playsLeft;
    rg_StoreStatus status;
  };
  const std::set<std::int64_t> all = {1, 2, 3, 4, 5};
  const Row rows[] = {
      {"ticked ones", {1, 3, 4}, Fault::None, false, 3, {2, 5}, 3, rg_StoreStatus::Ok},
      {"on a thread of its own", {1, 2, 3, 4, 5}, Fault::None, true, 5, {}, 0, rg_StoreStatus::Ok},
      {"an id already gone", {2, 99}, Fault::None, false, 1, {1, 3, 4, 5}, 5, rg_StoreStatus::Ok},
      {"none ticked", {}, Fault::None, false, 0, all, 7, rg_StoreStatus::Ok},
      {"a cast refusing midway",
       {1, 2, 3},
       Fault::CastRefuses,
       false,
       0,
       all,
       7,
       rg_StoreStatus::Failed},
      {"a play refusing", {1, 2}, Fault::PlayRefuses, true, 0, all, 7, rg_StoreStatus::Failed},
      {"a locked file", {1, 2}, Fault::Locked, true, 0, all, 7, rg_StoreStatus::Busy},
      {"a damaged file", {1, 2}, Fault::Damaged, false, 0, all, 7, rg_StoreStatus::Damaged},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Store s;
    for (const char16_t* name : {u"丙", u"丁", u"戊"}) s.db.Save(Cast(name, 2));
    rg_PlayStore plays(s.db);
    for (const std::int64_t cast : {1, 1, 2, 3, 3, 5}) plays.Add(cast, kMultiple);
    const auto file = rg_EasyDb::FileIn(s.home.path());
    // A play edited by hand into no play at all still belongs to its cast.
    test_support::ExecSql(file,
                          "INSERT INTO xyh_plays (castid,dan,red,blue,multiple) "
                          "VALUES (2,'','abc','1',1);");
    const auto count = [&](const char16_t* sql) {
      rg_SqlStatement q(s.db.Handle(), sql);
      return q.Step() == SQLITE_ROW ? q.ColumnInt(0) : -1;
    };
    const std::map<std::int64_t, std::int64_t> playsOf = {{1, 2}, {2, 2}, {3, 2}, {5, 1}};
    std::int64_t ticked = 0;
    for (const std::int64_t cast : row.ids) ticked += playsOf.contains(cast) ? playsOf.at(cast) : 0;
    EXPECT_EQ(plays.CountFor(row.ids).value_or(-1), ticked);
    if (row.fault == Fault::CastRefuses) {
      test_support::ExecSql(file,
                            "CREATE TRIGGER keep BEFORE DELETE ON xyh_table WHEN old._id=3 "
                            "BEGIN SELECT RAISE(ABORT,'kept'); END;");
    } else if (row.fault == Fault::PlayRefuses) {
      test_support::ExecSql(file,
                            "CREATE TRIGGER keep BEFORE DELETE ON xyh_plays WHEN old.castid=2 "
                            "BEGIN SELECT RAISE(ABORT,'kept'); END;");
    } else if (row.fault == Fault::Damaged) {
      s.db.Record(SQLITE_CORRUPT);
    }
    const std::string before = Bytes(file);
    std::optional<LockHolder> lock;
    if (row.fault == Fault::Locked) {
      ASSERT_TRUE(lock.emplace(file).Locked());
    }

    Result<std::int64_t> outcome = 0;
    if (row.ownThread) {
      std::thread([&] {
        rg_EasyDb own;
        const auto opened = own.OpenChecked(file);
        outcome = opened ? own.DeleteMany(row.ids) : tl::unexpected(opened.error());
      }).join();
    } else {
      outcome = s.db.DeleteMany(row.ids);
    }
    lock.reset();
    if (row.status == rg_StoreStatus::Ok) {
      EXPECT_EQ(outcome.value_or(-1), row.deleted);
    } else {
      EXPECT_EQ(StatusOf(outcome), row.status);
      EXPECT_EQ(Bytes(file), before);  // not even a page was written
    }
    std::set<std::int64_t> left;
    for (const rg_HistoryEntry& e : s.db.List()) left.insert(e.id);
    EXPECT_EQ(left, row.castsLeft);
    EXPECT_EQ(count(u"SELECT count(*) FROM xyh_plays;"), row.playsLeft);
    EXPECT_EQ(
        count(u"SELECT count(*) FROM xyh_plays WHERE castid NOT IN (SELECT _id FROM xyh_table);"),
        0);
  }
}

TEST(Plays, ALockedOrDamagedFileIsReportedAndNotWritten) {
  Store s;
  rg_PlayStore plays(s.db);
  plays.Add(1, kMultiple);
  const auto file = rg_EasyDb::FileIn(s.home.path());
  {
    LockHolder lock(file);
    ASSERT_TRUE(lock.Locked());
    EXPECT_EQ(StatusOf(plays.Add(1, kDanTuo)), rg_StoreStatus::Busy);
    EXPECT_EQ(plays.LastStatus(), rg_StoreStatus::Busy);
    EXPECT_EQ(StatusOf(plays.Delete(1)), rg_StoreStatus::Busy);
  }
  EXPECT_EQ(plays.List().size(), 1u);

  // Found damaged: reads go on, nothing is written.
  s.db.Record(SQLITE_CORRUPT);
  const std::string before = Bytes(file);
  EXPECT_EQ(StatusOf(plays.Add(1, kDanTuo)), rg_StoreStatus::Damaged);
  EXPECT_EQ(plays.LastStatus(), rg_StoreStatus::Damaged);
  EXPECT_EQ(StatusOf(plays.Delete(1)), rg_StoreStatus::Damaged);
  EXPECT_EQ(StatusOf(s.db.Delete(1)), rg_StoreStatus::Damaged);
  EXPECT_EQ(Bytes(file), before);
}

// Each kind of damage a row edited by hand can hold, beside a sound play:
// the row is listed with what is wrong, never scored, priced or counted,
// and an export refuses naming it.
TEST(Plays, ARowThatDoesNotReadBackIsListedAsDamaged) {
  const struct {
    const char* set;
    const char* damage;
  } cases[] = {
      {"multiple=-1", "multiple 应为 1 至 99 的整数,不能是 \"-1\""},
      {"multiple=2.5", "multiple 应为 1 至 99 的整数,不能是 \"2.5\""},
      {"multiple='2倍'", "multiple 应为 1 至 99 的整数,不能是 \"2???\""},
      {"red='01 02 03 04 05 05 07'", "红球号码 5 重复"},
      {"red='01 02 03 04 05 06 34'", "红球号码 34 不在 1 至 33 之间"},
      {"blue='08 x'", "blue 含有 \"x\",不是号码"},
      {"dan='3,9'", "dan 含有 \"3,9\",不是号码"},
      {"castid=9", "castid 没有编号为 \"9\" 的演算"},
      {"castid='甲'", "castid 没有编号为 \"???\" 的演算"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    Store s;
    rg_PlayStore plays(s.db);
    ASSERT_TRUE(plays.Add(1, kMultiple));
    ASSERT_TRUE(plays.Add(1, kMultiple));
    const std::string sql = std::string("UPDATE xyh_plays SET ") + c.set + " WHERE _id=2;";
    ASSERT_EQ(sqlite3_exec(s.db.Handle(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);

    const auto all = plays.List();
    EXPECT_EQ(plays.LastStatus(), rg_StoreStatus::Ok);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].damage, "");
    EXPECT_EQ(all[0].play, kMultiple);
    EXPECT_EQ(all[1].id, 2);
    EXPECT_EQ(all[1].damage, c.damage);
    EXPECT_EQ(PlayCost(all[1].play), 0);  // nothing of it to price
    // Only the sound play is scored towards its cast.
    EXPECT_EQ(plays.ByCast()[1].size(), 1u);
    rg_CastResult scored;
    scored.status = rg_CastStatus::Scored;
    const rg_DrawEntry draw = test_support::SsqDraw(u"2024062", 2024, 6, 2, {1, 2, 3, 4, 5, 6}, 8);
    scored.draw = &draw;
    ScorePlays(scored, {{1, kMultiple, {}, {}}, {2, all[1].play, {}, all[1].damage}});
    ASSERT_EQ(scored.plays.size(), 2u);
    EXPECT_FALSE(scored.plays[1].check.scored);
    EXPECT_EQ(scored.playsFixedPrize, scored.plays[0].check.fixedPrize);

    const auto exported = ReadHistoryRows(s.db);
    ASSERT_FALSE(exported);
    EXPECT_TRUE(exported.error().refused);
    EXPECT_EQ(exported.error().message, "投注 2(演算编号 " + std::to_string(all[1].castId) +
                                            ")已损坏:" + c.damage + ",无法导出");
  }
}

TEST(Plays, AJsonHistoryFileCarriesThemBothWays) {
  Store from;
  rg_PlayStore(from.db).Add(2, kMultiple);
  rg_PlayStore(from.db).Add(2, kDanTuo);
  const auto read = ReadHistoryRows(from.db);
  ASSERT_TRUE(read);
  const std::vector<rg_HistoryRow>& rows = *read;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0].plays.empty());
  EXPECT_EQ(rows[1].plays, (std::vector<rg_Play>{kMultiple, kDanTuo}));
  const std::string json = WriteHistoryFile(rows, rg_HistoryFormat::Json);
  // CSV has no place for them; a history without plays is written as ever.
  EXPECT_EQ(WriteHistoryFile(rows, rg_HistoryFormat::Csv).find("plays"), std::string::npos);
  EXPECT_EQ(json.find("\"plays\""), json.rfind("\"plays\""));

  TempDir home;
  rg_EasyDb to;
  to.Open(home.path());
  to.Save(Cast(u"乙", 1));  // 乙 is there already, without plays
  const auto first = ImportHistory(to, json);
  ASSERT_TRUE(first) << first.error().message;
  EXPECT_EQ(first->added, 1);
  EXPECT_EQ(first->skipped, 1);
  EXPECT_EQ(first->playsAdded, 2);  // to the 乙 saved before
  const auto plays = rg_PlayStore(to).List();
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0].castId, 1);
  // Again: nothing new, not even a play.
  const auto again = ImportHistory(to, json);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->added, 0);
  EXPECT_EQ(again->playsAdded, 0);
  const auto back = ReadHistoryRows(to);
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)[0].plays, rows[1].plays);
}

TEST(Plays, AJsonFileWithABadPlayIsRefusedWhole) {
  const std::string head =
      "{\"format\":\"xyh-history\",\"version\":1,\"records\":[{\"ysname\":\"甲\",\"ysindex\":1,"
      "\"ysnumber\":\"58\",\"ysday\":45444,\"gzsxid\":1,\"upstr\":null,\"downstr\":null,"
      "\"dong\":\"\",\"rot\":0,\"uinfo\":null,\"plays\":";
  const struct {
    const char* plays;
    const char* error;
  } cases[] = {
      {"{}", "$.records[0].plays:应是数组"},
      {"[{\"red\":[1,2,3,4,5],\"blue\":[1]}]",
       "$.records[0].plays[0]:红球应选 6 至 20 个,实选 5 个"},
      {"[{\"red\":[1,2,3,4,5,6]}]", "$.records[0].plays[0].blue:缺少这个键"},
      {"[{\"red\":[1,2,3,4,5,6],\"blue\":[1],\"x\":1}]", "$.records[0].plays[0].x:不认识的键"},
      {"[{\"red\":[1,2,3,4,5,6],\"blue\":[\"1\"]}]", "$.records[0].plays[0].blue:应是整数数组"},
      {"[{\"dan\":[2],\"red\":[1,2,3,4,5,6],\"blue\":[1]}]",
       "$.records[0].plays[0]:号码 2 既是胆码又是拖码"},
      {"[{\"red\":[1,2,3,4,5,6],\"blue\":[1],\"multiple\":100}]",
       "$.records[0].plays[0]:倍数应为 1 至 99,不能是 100"},
  };
  for (const auto& c : cases) {
    const auto parse = ReadHistoryFile(head + c.plays + "}]}");
    ASSERT_FALSE(parse) << c.plays;
    EXPECT_EQ(parse.error().message, c.error);
  }
  const auto good = ReadHistoryFile(head + "[{\"red\":[7,1,2,3,4,5],\"blue\":[1]}]}]}");
  ASSERT_TRUE(good) << good.error().message;
  EXPECT_EQ((*good)[0].plays[0].red, (std::vector<int>{1, 2, 3, 4, 5, 7}));
}
