// The store on damaged, locked and foreign-edited files: every failing
// step is reported, a damaged file is only read, a locked one recovers.
#include <gtest/gtest.h>

#include <fstream>

#include "history/EasyDb.h"
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

rg_YsModel Row(const std::u16string& name) { return test_support::NumberCast(name, u"备注"); }

constexpr auto Bytes = &test_support::FileBytes;

constexpr auto Exec = &test_support::ExecSql;

// A store of 60 rows whose first leaf page of the table (the oldest rows)
// has a broken page header; the rest of the file is sound.
std::filesystem::path DamagedHistory(const TempDir& home) {
  {
    rg_EasyDb db;
    db.Open(home.path());
    for (int i = 1; i <= 60; ++i) {
      db.Save(Row(u"第" + DecimalText(i) +
                  u"次起卦,名称写得长一些好让表占用好几页(2024年6月1日8时30分)"));
    }
  }
  auto file = rg_EasyDb::FileIn(home.path());
  test_support::BreakFirstLeaf(file);
  return file;
}

}  // namespace

TEST(StoreFaults, ADamagedFileIsListedAsFarAsItReadsAndNeverWritten) {
  TempDir home;
  const auto file = DamagedHistory(home);
  const std::string before = Bytes(file);

  rg_EasyDb db;
  EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Damaged);
  EXPECT_TRUE(db.Connected());
  EXPECT_TRUE(db.Damaged());

  const auto list = db.List();
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Damaged);  // never "that was all"
  EXPECT_GT(list.size(), 0u);
  EXPECT_LT(list.size(), 60u);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list[0].id, 60);  // newest first, up to the broken page

  EXPECT_EQ(StoredCast(db, 60)._id, 60);
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Ok);
  EXPECT_EQ(StatusOf(db.Load(1)), rg_StoreStatus::Damaged);  // on the broken page
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Damaged);

  // The failure carries the status the store keeps.
  EXPECT_EQ(StatusOf(db.Save(Row(u"新的"))), rg_StoreStatus::Damaged);
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Damaged);
  EXPECT_EQ(StatusOf(db.Delete(60)), rg_StoreStatus::Damaged);
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Damaged);
  EXPECT_NE(StoreStatusText(db.LastStatus()).find(u"历史记录文件已损坏"), std::u16string::npos);
  db.Close();
  EXPECT_EQ(Bytes(file), before);
  EXPECT_FALSE(std::filesystem::exists(file.string() + "-journal"));
}

TEST(StoreFaults, ALockAtOpenLeavesTheStoreConnectedAndItRecovers) {
  TempDir home;
  {
    rg_EasyDb db;
    db.Open(home.path());
    db.Save(Row(u"甲"));
  }
  const auto file = rg_EasyDb::FileIn(home.path());
  LockHolder lock(file);
  ASSERT_TRUE(lock.Locked());

  rg_EasyDb db;
  EXPECT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Busy);
  EXPECT_TRUE(db.Connected());
  EXPECT_TRUE(db.List().empty());
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Busy);
  EXPECT_FALSE(db.Save(Row(u"乙")));
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Busy);
  EXPECT_EQ(StoreStatusText(rg_StoreStatus::Busy), u"历史记录文件正被其他程序使用,请稍后再试");

  lock.Release();
  EXPECT_TRUE(db.Save(Row(u"乙")));
  const auto list = db.List();
  EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Ok);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, u"乙");
  EXPECT_FALSE(db.Damaged());
}

TEST(StoreFaults, ALockThatAppearsLaterIsAnErrorNotAnEmptyList) {
  TempDir home;
  rg_EasyDb db;
  ASSERT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Created);
  ASSERT_TRUE(db.Save(Row(u"甲")));
  const auto file = rg_EasyDb::FileIn(home.path());
  {
    LockHolder lock(file);
    ASSERT_TRUE(lock.Locked());
    int visited = 0;
    EXPECT_EQ(db.VisitList([&](std::int64_t, std::u16string_view) { ++visited; }),
              rg_StoreStatus::Busy);
    EXPECT_EQ(visited, 0);
    EXPECT_EQ(StatusOf(db.Load(1)), rg_StoreStatus::Busy);
    EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Busy);
    EXPECT_EQ(StatusOf(db.Delete(1)), rg_StoreStatus::Busy);
    EXPECT_EQ(db.LastStatus(), rg_StoreStatus::Busy);
    EXPECT_FALSE(db.Note(1).has_value());  // a tooltip does not wait
  }
  EXPECT_EQ(db.List().size(), 1u);
  EXPECT_EQ(db.Note(1), u"备注");
  EXPECT_TRUE(db.Delete(1));
}

TEST(StoreFaults, IdsBeyond32BitsAreListedLoadedAndDeleted) {
  TempDir home;
  {
    rg_EasyDb db;
    db.Open(home.path());
    db.Save(Row(u"甲"));
  }
  const auto file = rg_EasyDb::FileIn(home.path());
  Exec(
      file,
      "INSERT INTO xyh_table (_id,ysname,ysnumber,dong) VALUES (2147483648,'大','1','0,0,0,0,0,0');"
      "INSERT INTO xyh_table (_id,ysname,ysnumber,dong) VALUES (1099511627776,'更大','2','0,0,0,0,0,0');");
  rg_EasyDb db;
  ASSERT_EQ(db.Open(home.path()), rg_EasyDb::OpenResult::Opened);
  const auto list = db.List();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].id, 1099511627776);
  EXPECT_EQ(list[1].id, 2147483648);
  EXPECT_EQ(StoredCast(db, 2147483648).ysname, u"大");
  EXPECT_EQ(StoredCast(db, 1099511627776)._id, 1099511627776);
  EXPECT_TRUE(db.Delete(2147483648));
  EXPECT_EQ(db.List().size(), 2u);
  EXPECT_EQ(StoredCast(db, 1)._id, 1);  // the 32-bit id is still there
}
