#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "history/SavedCast.h"
#include "history/SavedCastCheck.h"
#include "platform/DateTime.h"
#include "support/Records.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using test_support::StoredCast;
using test_support::TempDir;

namespace {

// A time cast.
rg_YsModel Cast(const std::u16string& name, const std::u16string& note) {
  rg_YsModel r = test_support::NumberCast(name, note);
  r.ysindex = 3;
  r.ysnumber = u"1717201800125";
  r.ysday += 0.125 / 86400;
  r.gzsxid = 12;
  r.dong = {0, 1, 0, 0, -1, 0};
  r.rot = 2;
  return r;
}

// Names and notes that break naive CSV and JSON writers.
const std::vector<std::pair<std::u16string, std::u16string>> kAwkward = {
    {u"甲(2024年6月1日8时30分)", u"第一次,\"引号\"\r\n第二行"},
    {u" ", u""},
    {u"a,b\"\"c", u"\n"},
    {u"\"", u"tab\there\\back"},
    {u"𝌆 four bytes", u"\r"},
};

constexpr auto RunSql = &test_support::ExecSql;

constexpr auto Bytes = &test_support::FileBytes;

std::string Export(rg_EasyDb& db, rg_HistoryFormat format) {
  const auto rows = ReadHistoryRows(db);
  EXPECT_TRUE(rows);
  return WriteHistoryFile(rows.value_or(std::vector<rg_HistoryRow>{}), format);
}

// A store holding the awkward casts, a duplicate, and rows as older
// writers left them: NULL columns where nothing is read from them.
void FillAwkward(rg_EasyDb& db) {
  for (const auto& [name, note] : kAwkward) ASSERT_TRUE(db.Save(Cast(name, note)));
  ASSERT_TRUE(db.Save(Cast(kAwkward[0].first, kAwkward[0].second)));
  ASSERT_TRUE(db.Delete(2));  // a gap in the ids
  RunSql(
      db.Path(),
      "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) VALUES "
      "('旧',1,'58',45444.5,3,NULL,NULL,'',NULL,NULL),"
      "('手',2,'',45444.333333333336,2,'010','101','1,0,0,-1,0,0',0,'');");
}

class HistoryFileFormats : public ::testing::TestWithParam<rg_HistoryFormat> {};

}  // namespace

TEST_P(HistoryFileFormats, ExportImportExportGivesTheSameFileApartFromIds) {
  TempDir a;
  TempDir b;
  rg_EasyDb from;
  from.Open(a.path());
  FillAwkward(from);
  const std::string first = Export(from, GetParam());

  rg_EasyDb to;
  to.Open(b.path());
  const auto outcome = ImportHistory(to, first);
  ASSERT_TRUE(outcome) << outcome.error().message;
  EXPECT_EQ(outcome->added, 7);
  EXPECT_EQ(outcome->skipped, 0);
  const std::string second = Export(to, GetParam());

  const auto p1 = ReadHistoryFile(first);
  const auto p2 = ReadHistoryFile(second);
  ASSERT_TRUE(p1 && p2);
  ASSERT_EQ(p1->size(), 7u);
  for (size_t i = 0; i < p1->size(); ++i) EXPECT_TRUE((*p1)[i].SameCast((*p2)[i])) << i;
  // New ids: the second store numbers from 1 without the gap.
  EXPECT_EQ(*(*p1)[1].id, 3);
  EXPECT_EQ(*(*p2)[1].id, 2);
  // Apart from the id column the files are byte for byte the same.
  std::vector<rg_HistoryRow> renumbered = *p2;
  for (size_t i = 0; i < renumbered.size(); ++i) renumbered[i].id = (*p1)[i].id;
  EXPECT_EQ(WriteHistoryFile(renumbered, GetParam()), first);

  // The texts come back as stored, the loose moving marks and NULLs included.
  EXPECT_EQ(*(*p2)[0].uinfo, u"第一次,\"引号\"\r\n第二行");
  EXPECT_EQ(*(*p2)[5].dong, u"");
  EXPECT_FALSE((*p2)[5].upstr.has_value());
  EXPECT_FALSE((*p2)[5].rot.has_value());
  EXPECT_FALSE((*p2)[5].uinfo.has_value());
  EXPECT_EQ(*(*p2)[6].dong, u"1,0,0,-1,0,0");
  EXPECT_EQ(StoredCast(to, 1), StoredCast(from, 1));
  // A row stored with a cast time to the millisecond keeps every bit of it.
  EXPECT_EQ(StoredCast(to, 1).ysday, Cast(u"", u"").ysday);
}

INSTANTIATE_TEST_SUITE_P(Both, HistoryFileFormats,
                         ::testing::Values(rg_HistoryFormat::Csv, rg_HistoryFormat::Json),
                         [](const ::testing::TestParamInfo<rg_HistoryFormat>& p) {
                           return p.param == rg_HistoryFormat::Csv ? "Csv" : "Json";
                         });

TEST(HistoryFile, CsvKeepsEmptyTextsApartFromMissingOnes) {
  rg_HistoryRow r;
  r.ysname = u"甲";
  r.ysnumber = u"58";
  r.ysday = 45444.5;
  r.gzsxid = 1;
  r.upstr = u"";
  r.dong = u"";
  r.ysindex = 1;
  const std::string csv = WriteHistoryFile({r}, rg_HistoryFormat::Csv);
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), ",\"甲\",1,\"58\",45444.5,1,\"\",,\"\",,\r\n");
  const auto back = ReadHistoryFile(csv);
  ASSERT_TRUE(back) << back.error().message;
  EXPECT_TRUE((*back)[0].SameCast(r));
}

TEST(HistoryFile, ReadsWhatPeopleAndSpreadsheetsWrite) {
  // Columns in another order, a byte-order mark, LF line ends, quoted
  // numbers, no final line end.
  const auto csv = ReadHistoryFile(
      "\xEF\xBB\xBFysname,_id,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\n"
      "甲,,\"1\",58,45444.5,1,,,\"0,0,0,0,0,0\",0,\n"
      "\"乙\",9,1,58,45444,1,\"\",\"\",\"0,0,0,0,0,0\",0,\"多\n行\"");
  ASSERT_TRUE(csv) << csv.error().message;
  ASSERT_EQ((*csv).size(), 2u);
  EXPECT_EQ(*(*csv)[0].ysname, u"甲");
  EXPECT_EQ(*(*csv)[0].ysindex, 1);
  EXPECT_FALSE((*csv)[0].uinfo.has_value());
  EXPECT_EQ(*(*csv)[1].uinfo, u"多\n行");
  EXPECT_EQ(*(*csv)[1].ysday, 45444.0);

  // The header alone is an empty history.
  const auto empty =
      ReadHistoryFile("_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\r\n");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  const auto json = ReadHistoryFile(
      " \n{\"version\":1,\"records\":[{\"ysname\":\"\\u7532\",\"ysindex\":1,\"ysnumber\":\"58\",\"ysday\":45444,"
      "\"gzsxid\":1,\"upstr\":null,\"downstr\":\"\",\"dong\":\"\",\"rot\":0,\"uinfo\":\"\\ud834\\udf06\"}],"
      "\"format\":\"xyh-history\"}");
  ASSERT_TRUE(json) << json.error().message;
  EXPECT_EQ(*(*json)[0].ysname, u"甲");
  EXPECT_EQ(*(*json)[0].uinfo, u"𝌆");
  EXPECT_FALSE((*json)[0].upstr.has_value());
}

TEST(HistoryFile, MalformedFilesAreRefusedWithThePlaceAndTheReason) {
  const std::string header =
      "_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\r\n";
  const std::string good = "1,\"甲\",1,\"58\",45444.5,1,\"\",\"\",\"0,0,0,0,0,0\",0,\"\"\r\n";
  const std::string record =
      "{\"_id\":1,\"ysname\":\"甲\",\"ysindex\":1,\"ysnumber\":\"58\",\"ysday\":45444.5,"
      "\"gzsxid\":1,\"upstr\":\"\",\"downstr\":\"\",\"dong\":\"\",\"rot\":0,\"uinfo\":\"\"";
  const auto json = [&](const std::string& extra) {
    return "{\"format\":\"xyh-history\",\"version\":1,\"records\":[" + record + "}," + record +
           extra + "}]}";
  };
  ASSERT_TRUE(ReadHistoryFile(header + good + good));
  ASSERT_TRUE(ReadHistoryFile(json("")));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "没有表头"},
      {"_id,ysname\r\n", "第1行:表头应是"},
      {header + header, "第2行:字段 _id 应是整数"},
      {header + good + "1,\"甲\",1,\"58\"\r\n", "第3行:应有 11 个字段,实有 4 个"},
      {header + good + "\r\n", "第3行:应有 11 个字段,实有 1 个"},
      {header + "1,\"a\nb\",x,\"58\",1,1,,,\"\",0,\r\n", "第2行:字段 ysindex 应是整数"},
      {header + "1,\"a\nb\",1,\"58\",1,1,,,\"\",0,\"x\r\n", "第3行:引号没有闭合"},
      {header + "1,\"a\"b,1,\"58\",1,1,,,\"\",0,\r\n", "第2行:右引号后应是逗号或行尾"},
      {header + "1,a\"b,1,\"58\",1,1,,,\"\",0,\r\n", "第2行:没有引号的字段里有引号"},
      {header + "1,,1,\"58\",1,1,,,\"\",0,\r\n", "第2行:字段 ysname 不能空着"},
      {header + "1,\"a\",1,\"58\",nan,1,,,\"\",0,\r\n", "第2行:字段 ysday 应是数"},
      {header + "1,\"a\",1,\"58\",1e999,1,,,\"\",0,\r\n", "第2行:字段 ysday 应是数"},
      {header + "1,\"a\",99999999999999999999,\"58\",1,1,,,\"\",0,\r\n",
       "第2行:字段 ysindex 应是整数"},
      {header + good + "1,\"\xE7\x94\",1,\"58\",1,1,,,\"\",0,\r\n", "第3行:不是 UTF-8 文字"},
      {"{\"format\":\"xyh-history\",\n\"version\":1,\n\"records\":[,]}",
       "第3行第12列:JSON 语法错误"},
      {"{\"format\":\"other\",\"version\":1,\"records\":[]}", "$.format:应是 \"xyh-history\""},
      {"{\"format\":\"xyh-history\",\"version\":2,\"records\":[]}", "$.version:应是 1"},
      {"{\"format\":\"xyh-history\",\"version\":1}", "$.records:应是数组"},
      {"{\"format\":\"xyh-history\",\"version\":1,\"records\":[],\"x\":1}", "$.x:不认识的键"},
      {json(",\"extra\":1"), "$.records[1].extra:不认识的键"},
      {json(",\"ysday\":2"), "JSON 语法错误"},  // a key given twice
      {json("").replace(json("").rfind("\"rot\":0"), 7, "\"rot\":0.5"),
       "$.records[1].rot:应是整数"},
      {json("").replace(json("").rfind("\"ysday\":45444.5"), 15, "\"ysday\":\"1\""),
       "$.records[1].ysday:应是数"},
      {json("").replace(json("").rfind("\"ysname\":\"甲\""), 14, "\"ysname\":null"),
       "$.records[1].ysname:不能为 null"},
      {json("").replace(json("").rfind("\"uinfo\":\"\""), 10, "\"uinfo\":\"\\udc00\""),
       "$.records[1].uinfo:不是有效的 Unicode 文字"},
      {json("").replace(json("").rfind(",\"rot\":0"), 8, ""), "$.records[1].rot:缺少这个键"},
      {"{\"format\":\"xyh-history\",\"format\":\"xyh-history\"}",
       "第1行第25列:JSON 语法错误:键 format 出现了两次"},
      {"{\"format\":\"xyh-history\",\"version\":1,\"records\":[]} []",
       "第1行第51列:JSON 语法错误:对象之后还有内容"},
      {"{\"format\":\"xyh-history\",\"version\":1,\"records\":[{\"ysname\":\"x",
       "JSON 语法错误:文件在值的中间结束"},
      {"{\"format\":\"xyh-history\",\"version\":1,\"records\":[[0,0]]}", "$.records[0]:应是对象"},
      {"{\"format\":\"xyh-history\",\"version\":1,\"records\":[" + std::string(2u << 20, ' ') +
           "[" + std::string(kHistoryJsonRecordLimit, '0') + "]]}",
       "$.records[0]:超过 1 MiB,不读"},
      {header + std::string(100000, ','), "第2行:应有 11 个字段,实有 100001 个"},
  };
  for (const auto& [text, reason] : cases) {
    const auto p = ReadHistoryFile(text);
    ASSERT_FALSE(p) << text;
    EXPECT_NE(p.error().message.find(reason), std::string::npos)
        << "got: " << p.error().message << "\nwanted: " << reason;
  }
  EXPECT_FALSE(ReadHistoryFile(std::string(kHistoryFileLimit + 1, ' ')));

  // A file may hold as many casts as the limit, and not one more.
  std::string many = header;
  for (size_t i = 0; i < kHistoryRecordLimit; ++i) many += good;
  EXPECT_TRUE(ReadHistoryFile(many));
  many += good;
  EXPECT_EQ(ReadHistoryFile(many).error().message, "记录超过 200000 条,不读");
}

TEST(HistoryImport, ARefusedFileLeavesTheStoreUntouched) {
  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  ASSERT_TRUE(db.Save(Cast(u"甲", u"")));
  db.Close();
  const std::string before = Bytes(rg_EasyDb::FileIn(home.path()));
  db.Open(home.path());
  const std::string header =
      "_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\r\n";
  const auto outcome = ImportHistory(
      db, header + "1,\"乙\",1,\"58\",45444,1,,,\"\",0,\r\n1,\"丙\",x,\"58\",1,1,,,\"\",0,\r\n");
  ASSERT_FALSE(outcome);
  EXPECT_NE(outcome.error().message.find("第3行"), std::string::npos);
  db.Close();
  EXPECT_EQ(Bytes(rg_EasyDb::FileIn(home.path())), before);
}

TEST(HistoryImport, AFailedWriteTakesBackTheRowsBeforeIt) {
  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  ASSERT_TRUE(db.Save(Cast(u"甲", u"")));
  // The database itself refuses the third row.
  RunSql(db.Path(),
         "CREATE TRIGGER no_bad BEFORE INSERT ON xyh_table WHEN NEW.ysname='坏' "
         "BEGIN SELECT RAISE(ABORT,'refused'); END;");
  std::vector<rg_HistoryRow> rows;
  for (const char16_t* name : {u"乙", u"丙", u"坏", u"丁"}) {
    rg_HistoryRow r;
    r.ysname = name;
    r.ysnumber = u"";
    r.dong = u"";
    rows.push_back(r);
  }
  const auto outcome = AddHistoryRows(db, rows);
  ASSERT_FALSE(outcome);
  EXPECT_NE(outcome.error().message.find("refused"), std::string::npos) << outcome.error().message;
  EXPECT_EQ(db.List().size(), 1u);
  // The store works on afterwards: the transaction did not stay open.
  rows.erase(rows.begin() + 2);
  EXPECT_TRUE(AddHistoryRows(db, rows));
  EXPECT_EQ(db.List().size(), 4u);
}

TEST(HistoryImport, CastsAlreadySavedAreSkippedOncePerStoredCopy) {
  TempDir a;
  TempDir b;
  rg_EasyDb from;
  from.Open(a.path());
  ASSERT_TRUE(from.Save(Cast(u"甲", u"x")));
  ASSERT_TRUE(from.Save(Cast(u"甲", u"x")));  // saved twice on purpose
  ASSERT_TRUE(from.Save(Cast(u"乙", u"")));
  const std::string file = Export(from, rg_HistoryFormat::Csv);

  rg_EasyDb to;
  to.Open(b.path());
  ASSERT_TRUE(to.Save(Cast(u"甲", u"x")));
  ASSERT_TRUE(to.Save(Cast(u"甲", u"y")));  // differs in the note only
  rg_YsModel otherTime = Cast(u"乙", u"");
  otherTime.ysday += 1.0 / 86400000;  // a millisecond later
  ASSERT_TRUE(to.Save(otherTime));

  auto outcome = ImportHistory(to, file);
  ASSERT_TRUE(outcome) << outcome.error().message;
  EXPECT_EQ(outcome->added, 2);  // the second 甲 x and 乙
  EXPECT_EQ(outcome->skipped, 1);
  const auto list = to.List();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].name, u"乙");
  EXPECT_EQ(list[0].id, 5);

  outcome = ImportHistory(to, file);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->added, 0);
  EXPECT_EQ(outcome->skipped, 3);
  EXPECT_EQ(to.List().size(), 5u);
}

TEST(HistoryImport, WithoutAStoreNothingIsRead) {
  rg_EasyDb closed;
  EXPECT_FALSE(ReadHistoryRows(closed));
  const auto outcome = AddHistoryRows(closed, {});
  ASSERT_FALSE(outcome);
  EXPECT_FALSE(outcome.error().message.empty());
}

namespace {

// A time cast as the window saves it.
rg_HistoryRow SoundRow() {
  rg_HistoryRow r;
  r.ysname = u"甲(2024年6月1日8时30分)";
  r.ysindex = 3;
  r.ysnumber = u"1717201800125";
  r.ysday = MakeDate(2024, 6, 1, 8, 30);
  r.gzsxid = 12;
  r.upstr = u"010";
  r.downstr = u"101";
  r.dong = u"0,1,0,0,-1,0";
  r.rot = 2;
  r.uinfo = u"备注";
  return r;
}

}  // namespace

// What export writes, import reads: at each bound the file reads back, and
// one past it the export itself refuses, naming the record.
TEST(HistoryFile, ExportAndImportAgreeOnTheBounds) {
  rg_HistoryRow row = SoundRow();
  row.id = 7;
  const struct {
    rg_HistoryFormat format;
    std::size_t rows;
    std::size_t noteChars;  // of the first row, or of every row
    bool everyRow;
    const char* refusal;  // "" when the round trip holds
  } cases[] = {
      {rg_HistoryFormat::Json, 1, kSavedNoteLimit, false, ""},
      {rg_HistoryFormat::Json, 1, kSavedNoteLimit + 1, false, "第 1 条记录(编号 7)的字段 uinfo"},
      {rg_HistoryFormat::Csv, 1, kSavedNoteLimit + 1, false, "第 1 条记录(编号 7)的字段 uinfo"},
      {rg_HistoryFormat::Csv, kHistoryRecordLimit, 0, false, ""},
      {rg_HistoryFormat::Json, kHistoryRecordLimit + 1, 0, false, "第 200001 条记录(编号 7)起超出"},
      // Notes at their bound, three bytes a character: past the file's bound.
      {rg_HistoryFormat::Csv, kHistoryFileLimit / (3 * kSavedNoteLimit) + 1, kSavedNoteLimit, true,
       "文件会超过"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows, note " + std::to_string(c.noteChars));
    std::vector<rg_HistoryRow> rows(c.rows, row);
    const std::u16string note(c.noteChars, u'注');
    for (std::size_t i = 0; i < (c.everyRow ? c.rows : 1); ++i) rows[i].uinfo = note;
    const std::string file = WriteHistoryFile(rows, c.format);
    const std::string refusal = HistoryExportRefusal(rows, file);
    if (c.refusal[0] != '\0') {
      EXPECT_EQ(refusal.rfind(c.refusal, 0), 0u) << refusal;
      EXPECT_FALSE(ReadHistoryFile(file));
      continue;
    }
    EXPECT_EQ(refusal, "");
    const auto back = ReadHistoryFile(file);
    ASSERT_TRUE(back) << back.error().message;
    EXPECT_EQ(back->size(), c.rows);
  }
}

// Nesting deeper than the JSON reader's stack is a refusal, not an abort.
TEST(HistoryFile, DeepNestingIsRefused) {
  const std::string deep = "{\"format\":\"xyh-history\",\"version\":1,\"records\":[" +
                           std::string(5000, '[') + std::string(5000, ']') + "]}";
  const auto parse = ReadHistoryFile(deep);
  ASSERT_FALSE(parse);
  EXPECT_NE(parse.error().message.find("嵌套太深"), std::string::npos) << parse.error().message;
}

// Every field rule refuses the whole file, naming the record and the field,
// in both formats, and the store's file keeps every byte.
TEST(HistoryImport, EveryFieldIsCheckedAsACastTheProgramCouldHaveSaved) {
  struct Case {
    const char* field;
    std::function<void(rg_HistoryRow&)> spoil;
  };
  const auto hand = [](rg_HistoryRow& r) {
    r.ysindex = 2;
    r.ysnumber = u"";
    r.rot = 0;
  };
  const std::vector<Case> cases = {
      {"ysname", [](rg_HistoryRow& r) { r.ysname = u"  "; }},
      {"ysname", [](rg_HistoryRow& r) { r.ysname = std::u16string(256, u'名'); }},
      {"ysindex", [](rg_HistoryRow& r) { r.ysindex = 9; }},
      {"ysindex", [](rg_HistoryRow& r) { r.ysindex = std::nullopt; }},
      {"ysindex", [](rg_HistoryRow& r) { r.ysindex = (std::int64_t{1} << 32) + 1; }},
      {"ysnumber", [](rg_HistoryRow& r) { r.ysindex = 1, r.rot = 0, r.ysnumber = u"12abc"; }},
      {"ysnumber", [](rg_HistoryRow& r) { r.ysindex = 1, r.rot = 0, r.ysnumber = u""; }},
      {"ysnumber",
       [](rg_HistoryRow& r) { r.ysindex = 1, r.rot = 0, r.ysnumber = std::u16string(33, u'1'); }},
      {"ysnumber", [](rg_HistoryRow& r) { r.ysnumber = u"12 34"; }},
      {"ysday", [](rg_HistoryRow& r) { r.ysday = -99999999; }},
      {"ysday", [](rg_HistoryRow& r) { r.ysday = MakeDate(1899, 12, 31, 23, 59); }},
      {"ysday", [](rg_HistoryRow& r) { r.ysday = MakeDate(2101, 1, 1); }},
      {"ysday", [](rg_HistoryRow& r) { r.ysday = std::nullopt; }},
      {"gzsxid", [](rg_HistoryRow& r) { r.gzsxid = 99; }},
      {"gzsxid", [](rg_HistoryRow& r) { r.gzsxid = 0; }},
      {"upstr", [&](rg_HistoryRow& r) { hand(r), r.upstr = u"01"; }},
      {"upstr", [&](rg_HistoryRow& r) { hand(r), r.upstr = std::nullopt; }},
      {"upstr", [](rg_HistoryRow& r) { r.upstr = u"012"; }},
      {"downstr", [&](rg_HistoryRow& r) { hand(r), r.downstr = u"1x1"; }},
      {"dong", [&](rg_HistoryRow& r) { hand(r), r.dong = u"1,,-1"; }},
      {"dong", [&](rg_HistoryRow& r) { hand(r), r.dong = u"1,0,0,-1,0,0,0"; }},
      {"dong", [&](rg_HistoryRow& r) { hand(r), r.dong = u"1,0,0,-2,0,0"; }},
      {"dong", [&](rg_HistoryRow& r) { hand(r), r.dong = u" 1,0,0,-1,0,0"; }},
      {"dong", [](rg_HistoryRow& r) { r.dong = u"x"; }},
      {"rot", [](rg_HistoryRow& r) { r.rot = 0; }},
      {"rot", [](rg_HistoryRow& r) { r.rot = std::nullopt; }},
      {"rot", [&](rg_HistoryRow& r) { hand(r), r.rot = 3; }},
      {"uinfo", [](rg_HistoryRow& r) { r.uinfo = std::u16string(kSavedNoteLimit + 1, u'注'); }},
  };
  // What a cast may be: each method as saved, older writers' NULLs where
  // nothing is read from them, the bounds themselves.
  std::vector<rg_HistoryRow> sound(5, SoundRow());
  hand(sound[1]);
  sound[2].ysindex = 1, sound[2].rot = 0, sound[2].ysnumber = std::u16string(32, u'9');
  sound[2].upstr = std::nullopt, sound[2].downstr = std::nullopt, sound[2].dong = u"";
  sound[3].ysname = std::u16string(kSavedNameLimit, u'名');
  sound[3].uinfo = std::u16string(kSavedNoteLimit, u'注');
  sound[3].ysday = MakeDate(1900, 1, 1), sound[3].gzsxid = 1, sound[3].rot = 1;
  sound[4].ysday = MakeDate(2100, 12, 31, 23, 59, 59);
  for (const auto format : {rg_HistoryFormat::Csv, rg_HistoryFormat::Json}) {
    const auto parse = ReadHistoryFile(WriteHistoryFile(sound, format));
    EXPECT_TRUE(parse) << parse.error().message;
  }

  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  ASSERT_TRUE(db.Save(Cast(u"甲", u"")));
  const std::string before = Bytes(db.Path());
  for (const Case& c : cases) {
    rg_HistoryRow bad = SoundRow();
    c.spoil(bad);
    for (const auto format : {rg_HistoryFormat::Csv, rg_HistoryFormat::Json}) {
      const std::string file = WriteHistoryFile({SoundRow(), bad}, format);
      const std::string place = format == rg_HistoryFormat::Csv
                                    ? std::string("第3行:字段 ") + c.field + " "
                                    : std::string("$.records[1].") + c.field + ":";
      const auto outcome = ImportHistory(db, file);
      ASSERT_FALSE(outcome) << file;
      EXPECT_EQ(outcome.error().message.rfind(place, 0), 0u)
          << "got: " << outcome.error().message << "\nwanted: " << place;
    }
  }
  EXPECT_EQ(db.List().size(), 1u);
  EXPECT_EQ(Bytes(db.Path()), before);
}

// A row already bad in the store is read for the list but marked, so that
// nothing casts it.
TEST(HistoryStore, ABadStoredRowIsMarkedDamagedAndCastsNothing) {
  TempDir home;
  rg_EasyDb db;
  db.Open(home.path());
  ASSERT_TRUE(db.Save(Cast(u"好", u"")));
  RunSql(
      db.Path(),
      "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
      "VALUES ('坏',3,'1717201800125',45444.5,99,'','','0,0,0,0,0,0',2,''),"
      "('怪',4294967297,'58',45444.5,1,'','','0,0,0,0,0,0',0,''),"
      "('乱',2,'',45444.5,1,'010','101','1,x,0,0,0,0',0,'');");
  EXPECT_TRUE(StoredCast(db, 1).damage.empty());
  for (const auto& [id, field] :
       {std::pair<std::int64_t, const char*>{2, "gzsxid "}, {3, "ysindex "}, {4, "dong "}}) {
    const std::string damage = StoredCast(db, id).damage;
    EXPECT_EQ(damage.rfind(field, 0), 0u) << damage;
  }
  EXPECT_EQ(db.List().size(), 4u);
  rg_SavedCastDeriver deriver;
  EXPECT_TRUE(deriver.Derive(StoredCast(db, 1)).has_value());
  for (std::int64_t id : {2, 3, 4})
    EXPECT_FALSE(deriver.Derive(StoredCast(db, id)).has_value()) << id;
}
