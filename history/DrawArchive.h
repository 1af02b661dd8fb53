#pragma once
// The draw archive: every draw a refresh has read (or the user imported),
// one row per lottery and issue, in a table of its own beside the saved
// casts. The saved casts' table is never written from here.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Choices.h"
#include "history/EasyDb.h"

namespace rg_com_ptl_xyh {

// One stored draw. Numbers are in the order they were drawn (for the digit
// lotteries the order is the result); extra holds the second zone (the
// blue ball of 双色球), empty where the lottery has none.
struct rg_DrawEntry {
  LotteryCode lottery = LotteryCode::DoubleColor;
  std::u16string issue;  // digits only
  double date = 0.0;     // day count of the draw date, 00:00
  std::vector<int> numbers;
  std::vector<int> extra;
  double storedAt = 0.0;  // day count of the moment it was stored

  bool SameDraw(const rg_DrawEntry& other) const {
    return lottery == other.lottery && issue == other.issue && date == other.date &&
           numbers == other.numbers && extra == other.extra;
  }
};

// How many numbers a lottery draws and from which range.
struct rg_DrawRule {
  LotteryCode lottery;
  int count;       // main numbers
  int low, high;   // their range
  bool distinct;   // false for the digit lotteries, where a digit may repeat
  int extraCount;  // second-zone numbers
  int extraLow, extraHigh;
  bool extraApart;  // the second zone never repeats a main number (七乐彩)
  int width;        // characters per number in the results page's text
};
// nullptr only for a number forced into a LotteryCode that names none.
const rg_DrawRule* FindDrawRule(LotteryCode lottery);

// The language a refusal of the draw rules is said in: the command line
// keeps its English words, the window says them in Chinese.
enum class DrawWording { English, Chinese };

// "" when the draw keeps the rule, else what is wrong with it.
std::string CheckDrawNumbers(const rg_DrawRule& rule, const std::vector<int>& numbers,
                             const std::vector<int>& extra,
                             DrawWording wording = DrawWording::English);

// An issue as the archive stores and compares it: its digits read as a
// number, written in the lottery's own form (seven digits, year and three,
// for 双色球 and the other daily games; five for 大乐透, 排列五 and 七星彩,
// padded with zeros). "02026001" and "2026001" are the same 双色球 issue.
// nullopt for text that is no issue of that lottery (a 双色球 issue of
// other than seven digits).
std::optional<std::u16string> NormalIssue(LotteryCode lottery, std::u16string_view issue);

// "" when a draw of lottery may carry this date, else why not: a day after
// tomorrow (local) has had no draw yet, and 双色球 began on 2003-02-23.
// now is the moment of the check, as a local day count.
std::string CheckDrawDate(LotteryCode lottery, double date, double now,
                          DrawWording wording = DrawWording::English);

// "" when a draw of lottery may carry this issue (in its normal form) on
// this date, else why not: a lottery with a fixed schedule (双色球: Sunday,
// Tuesday, Thursday) draws on its days only, and an issue begins with the
// year of its date (four digits; two for a five-digit issue).
std::string CheckDrawIssue(LotteryCode lottery, std::u16string_view issue, double date,
                           DrawWording wording = DrawWording::English);

// "2024-06-02"; the draw date form of the archive and its files.
std::u16string DrawDateText(double date);
// A real date written as YYYY-MM-DD; nullopt otherwise.
std::optional<double> ParseDrawDate(std::string_view text);
// "03 09 14": two digits each, separated by spaces.
std::string NumbersText(const std::vector<int>& numbers);
// Numbers of one or two digits separated by blanks ("03 9 14"); refused
// otherwise, with the first piece that is no such number as the message.
Result<std::vector<int>> ParseNumberList(std::string_view text);

// A draw as the results page shows it (issue "第2024150期" or "2024062",
// date "2024-06-02", numbers as one run of characters), made into an entry;
// nullopt when any part does not read as a valid draw of that lottery.
std::optional<rg_DrawEntry> DrawFromPage(LotteryCode lottery, std::u16string_view issue,
                                         std::u16string_view date, std::u16string_view numbers,
                                         std::u16string_view extra);

// The issues missing between stored draws of the same year, ascending;
// draws in archive order (rg_DrawArchive::Draws). Issues of a year's four
// digits and three more, or of its last two digits and three more, take
// part: how many issues a year holds is not known ahead, so nothing is
// missing across a year's end.
std::vector<std::u16string> MissingIssues(const std::vector<rg_DrawEntry>& draws);
// The issues missing between two neighbouring draws' issues, appended to
// out, lowest first; how many.
std::size_t MissingBetween(std::u16string_view a, std::u16string_view b,
                           std::vector<std::u16string>& out);

class rg_DrawArchive {
 public:
  // Works on the store's connection and keeps to its rules: nothing is
  // written into a damaged file, and a read that fails (damaged, locked,
  // I/O) is an error, never the end of the rows. LastStatus says which.
  explicit rg_DrawArchive(rg_EasyDb& store, DrawWording wording = DrawWording::English)
      : store_(&store), wording_(wording) {}

  static constexpr std::u16string_view kTable = u"xyh_draws";
  static std::u16string CreateTableStatement();

  enum class StoreResult {
    Added,      // a draw not seen before
    Unchanged,  // the same draw was already stored
    Conflict,   // that issue is stored with other numbers; the stored row stays
  };
  // A failure: no connection, a damaged or locked file, the write failed,
  // or an issue that is none of that lottery; it carries LastStatus.
  // Stores what it is given: a draw from outside is first held to the
  // stored ones (CheckPlace), as Import and Add do.
  Result<StoreResult> Store(const rg_DrawEntry& draw, double now);

  // Whether a draw fits the schedule, its issue's year and the stored draws
  // of its lottery: a later issue is never drawn on an earlier day, 双色球
  // draws once a day, and a lottery's issues are all of one length. Its
  // own issue stored already is left to Store. Refused, saying why; a
  // failure carrying LastStatus and BadRow when the stored draws cannot be
  // read to their end (a damaged archive is never written).
  Result<void> CheckPlace(const rg_DrawEntry& draw) const;

  // Removes a stored draw (every stored form of its issue), in one
  // transaction. NotFound when none is stored; a failure carrying
  // LastStatus otherwise.
  Result<void> Delete(LotteryCode lottery, std::u16string_view issue);

  // The stored draws of one lottery, oldest first (by date, then issue);
  // as far as the file reads when LastStatus is not Ok.
  std::vector<rg_DrawEntry> Draws(LotteryCode lottery) const;
  std::vector<rg_DrawEntry> DoubleColorDraws() const { return Draws(LotteryCode::DoubleColor); }
  // The same handed over one at a time, oldest or newest first, without
  // holding them: for long lists. Draws visited before an error stay
  // visited; the result is LastStatus().
  rg_StoreStatus VisitDraws(LotteryCode lottery, bool newestFirst,
                            const std::function<void(const rg_DrawEntry&)>& visit) const;
  // nullopt when no such draw is stored; a failure, carrying LastStatus and
  // BadRow, when it cannot be read.
  Result<std::optional<rg_DrawEntry>> Find(LotteryCode lottery, std::u16string_view issue) const;
  // The newest stored draw of one lottery (by date, then issue); nullopt
  // when none is stored, a failure when it cannot be read.
  Result<std::optional<rg_DrawEntry>> Newest(LotteryCode lottery) const;
  std::size_t Count(LotteryCode lottery) const;
  // The outcome of the last operation, as the store words it; Damaged also
  // when a stored row did not read back as a valid draw (BadRow says which).
  rg_StoreStatus LastStatus() const;
  // The stored row the last operation stopped at, named and said what is
  // wrong with it; "" when every row it met read back.
  const std::string& BadRow() const { return badRow_; }

  // The CSV file form: header "issue,date,red,blue", oldest first.
  std::string Export(LotteryCode lottery) const;

  struct ImportCounts {
    int added = 0;
    int skipped = 0;  // lines already stored with the same numbers
    std::vector<std::u16string> addedIssues;
  };
  // All lines or none: every line is checked before anything is written,
  // and the writes share one transaction. A failure is either refused (its
  // message names the line; the header is line 1) or, when the file was
  // sound but the database could not be read or written, carries the
  // archive's status (LastStatus).
  Result<ImportCounts> Import(LotteryCode lottery, std::string_view csv, double now);
  // One draw given as the fields of a file line (issue, YYYY-MM-DD, reds
  // and blues separated by spaces): checked, refused and stored exactly as
  // an import of that line; a refusal then names no line. A draw stored
  // already with the same numbers is skipped (skipped 1).
  Result<ImportCounts> Add(LotteryCode lottery, std::string_view issue, std::string_view date,
                           std::string_view red, std::string_view blue, double now);
  // A stored draw corrected: the fields as for Add, checked against the
  // other stored draws, and the old row replaced in the same transaction
  // (the issue may change too). NotFound when `stored` is not stored; a
  // correction that changes nothing is skipped (skipped 1).
  Result<ImportCounts> Replace(LotteryCode lottery, std::u16string_view stored,
                               std::string_view issue, std::string_view date, std::string_view red,
                               std::string_view blue, double now);

 private:
  // An import as it goes; made a Result at the end (Outcome).
  struct ImportResult {
    bool ok = false;
    ImportCounts counts;
    std::string message;       // the refusal, naming the line
    std::string why;           // the refusal without the line
    bool writeFailed = false;  // the file was sound but the database could not be read or written
  };
  Result<ImportCounts> Outcome(ImportResult result) const;
  // LastStatus and BadRow as the outcome of a read that failed.
  tl::unexpected<Failure> Failed() const;
  struct ImportedDraw {
    rg_DrawEntry draw;
    int line;  // in the file, for a refusal
  };
  // What Import and Add share: the lines (with their numbers in the file)
  // checked, then written in one transaction.
  // replacing: the stored issue a correction replaces, empty for none.
  ImportResult ImportLines(LotteryCode lottery,
                           std::span<const std::pair<int, std::string_view>> lines, double now,
                           const std::u16string& replacing = {});
  // The checked draws of an import in one transaction, after the replaced
  // draw is removed; false, with result saying why, when the database does
  // not take them all.
  bool WriteImport(LotteryCode lottery, const std::vector<ImportedDraw>& draws, double now,
                   ImportResult& result, const std::u16string& replacing);
  // Deletes every stored form of a normal issue; SQLite's code.
  int DeleteForms(LotteryCode lottery, const std::u16string& normal);

  // Whether xyh_draws exists yet (it is made by the first write); nullopt
  // when that cannot be read.
  std::optional<bool> HasTable() const;
  bool EnsureTable();
  // Prepares and steps a statement without rows; SQLite's code.
  int Run(std::u16string_view text);
  // The stored draw of lottery whose issue is normal (any stored form of
  // it), read into out; false when there is none or it cannot be read.
  // stored: the issue as the row holds it (the shortest stored form).
  bool FindRow(LotteryCode lottery, const std::u16string& normal, rg_DrawEntry& out,
               std::string* stored = nullptr) const;
  rg_EasyDb* store_;
  DrawWording wording_;
  mutable std::string badRow_;
};

}  // namespace rg_com_ptl_xyh
