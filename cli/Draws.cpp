#include "cli/Draws.h"

#include <json/json.h>

#include <unistd.h>

#include <iostream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/Terminal.h"
#include "history/DrawArchive.h"
#include "history/DrawPrizes.h"
#include "history/EasyDb.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

// A draw file larger than this is no draw file: 3 000 draws take 150 kB.
constexpr std::size_t kMaxImportBytes = 16u << 20;

LotteryCode ParseLottery(const std::optional<std::string>& text) {
  const auto code = text ? LotteryOfOption(*text) : LotteryCode::DoubleColor;
  if (!code || FindDrawRule(*code) == nullptr)
    throw UsageError{"--lottery takes a code from 100 to 106"};
  return *code;
}

// The whole of a draw file (- for standard input) into csv; 0, or the
// exit code of a file that cannot be read (1) or is too large to be one
// (2), said on standard error.
int ReadDrawFile(const std::string& name, std::string& csv) {
  Result<std::string> read = name == "-" ? ReadDescriptor(STDIN_FILENO, kMaxImportBytes)
                                         : ReadRegularFile(PathFromUtf8(name), kMaxImportBytes);
  if (!read && read.error().problem == rg_FileProblem::TooLarge) {
    std::cerr << "xyh-cli: " << name << " is larger than 16 MiB; no draw file is\n";
    return 2;
  }
  if (!read) {
    std::cerr << "xyh-cli: cannot read " << (name == "-" ? "standard input" : name) << ": "
              << read.error().message << "\n";
    return 1;
  }
  csv = std::move(*read);
  return 0;
}

// One stored draw as JSON, written by hand: it holds only numbers, the
// issue's digits and dates, and an archive may hold hundreds of thousands.
void WriteDrawJson(std::ostream& out, const rg_DrawEntry& d, const rg_FloatingAmounts& prize) {
  const auto amount = [&out](const std::optional<std::int64_t>& yuan) {
    if (yuan) {
      out << *yuan;
    } else {
      out << "null";
    }
  };
  const auto numbers = [&out](const std::vector<int>& list) {
    out << "[";
    for (std::size_t i = 0; i < list.size(); ++i) out << (i ? ", " : " ") << list[i];
    out << (list.empty() ? "]" : " ]");
  };
  out << "  {\n    \"date\" : \"" << ToUtf8(DrawDateText(d.date)) << "\",\n    \"extra\" : ";
  numbers(d.extra);
  out << ",\n    \"first\" : ";
  amount(prize.first);
  out << ",\n    \"issue\" : \"" << ToUtf8(d.issue)
      << "\",\n    \"lottery\" : " << NumberOf(d.lottery) << ",\n    \"numbers\" : ";
  numbers(d.numbers);
  out << ",\n    \"second\" : ";
  amount(prize.second);
  out << ",\n    \"stored\" : \"" << FormatLocalTime(d.storedAt) << "\"\n  }";
}

// Newest first, each draw printed as it is read: nothing holds the list.
int ListDraws(rg_DrawArchive& archive, LotteryCode lottery, bool json) {
  // Few draws carry an amount: they are read first, the draws streamed.
  const auto prizes = rg_DrawPrizes(rg_EasyDb::Process()).All(lottery);
  if (!prizes) {
    std::cerr << "xyh-cli: the prize amounts could not be read: " << prizes.error().message << "\n";
    return StoreFailure("");
  }
  bool first = true;
  archive.VisitDraws(lottery, true, [&](const rg_DrawEntry& d) {
    if (json) {
      std::cout << (first ? "[\n" : ",\n");
      WriteDrawJson(std::cout, d, AmountsOf(*prizes, d.issue));
    } else {
      std::cout << ToUtf8(d.issue) << "\t" << ToUtf8(DrawDateText(d.date)) << "\t"
                << NumbersText(d.numbers);
      if (!d.extra.empty()) std::cout << " + " << NumbersText(d.extra);
      std::cout << "\n";
    }
    first = false;
  });
  if (json) std::cout << (first ? "[]\n" : "\n]\n");
  // What the file gives is printed even when it breaks off, but the
  // exit code and standard error say that it did.
  return archive.LastStatus() == rg_StoreStatus::Ok
             ? 0
             : ArchiveFailure(archive, "the draws could not be read to their end: ");
}

int ExportDraws(LotteryCode lottery) {
  rg_DrawPrizes prizes(rg_EasyDb::Process());
  const auto text = prizes.Export(lottery);
  if (!text && prizes.Archive().LastStatus() != rg_StoreStatus::Ok)
    return ArchiveFailure(prizes.Archive(), "the draws could not be read: ");
  if (!text) {
    std::cerr << "xyh-cli: the prize amounts could not be read: " << text.error().message << "\n";
    return StoreFailure("");
  }
  std::cout << *text;
  return std::cout.good() ? 0 : 1;
}

int ImportDraws(LotteryCode lottery, const std::string& csv, const std::string& name) {
  rg_DrawPrizes prizes(rg_EasyDb::Process());
  const auto result = prizes.Import(lottery, csv, Clock::System().Now());
  if (!result && !result.error().refused && result.error().status != rg_StoreStatus::Ok) {
    std::cerr << "xyh-cli: " << name << ": nothing was imported\n";
    return ArchiveFailure(prizes.Archive(), "the draws could not be stored: ");
  }
  if (!result) {
    std::cerr << "xyh-cli: " << name << ": " << result.error().message
              << "; nothing was imported\n";
    return result.error().refused ? 2 : 1;
  }
  std::cout << "imported " << result->added << " draws";
  if (result->skipped > 0) std::cout << ", skipped " << result->skipped << " already stored";
  std::cout << "\n";
  return 0;
}

// One draw typed on the command line, stored as an import of that line.
int AddDraw(rg_DrawArchive& archive, LotteryCode lottery, const Args& args) {
  const auto result = archive.Add(lottery, args.Get("issue").value_or(""),
                                  args.Get("date").value_or(""), args.Get("red").value_or(""),
                                  args.Get("blue").value_or(""), Clock::System().Now());
  if (!result && !result.error().refused && result.error().status != rg_StoreStatus::Ok) {
    std::cerr << "xyh-cli: nothing was added\n";
    return ArchiveFailure(archive, "the draw could not be stored: ");
  }
  if (!result) {
    std::cerr << "xyh-cli: " << TerminalSafe(result.error().message) << "; nothing was added\n";
    return result.error().refused ? 2 : 1;
  }
  const std::string issue = *args.Get("issue");
  if (result->skipped > 0) {
    std::cout << "issue " << TerminalSafe(issue) << " is already stored with these numbers\n";
  } else {
    std::cout << "added " << ToUtf8(result->addedIssues.front()) << "\n";
  }
  return 0;
}

// draws prize ISSUE --first YUAN [--second YUAN].
// Its words and values are checked before the store is opened
// (CheckPrizeWords): a bad one writes nothing.
void CheckPrizeWords(LotteryCode lottery, const std::string& issue, const Args& args) {
  if (!args.Has("first") && !args.Has("second"))
    throw UsageError{"draws prize takes --first YUAN and/or --second YUAN"};
  if (lottery != LotteryCode::DoubleColor)
    throw UsageError{"draws prize is for 双色球 draws (--lottery 101)"};
  if (issue.empty() || issue.size() > 16 ||
      issue.find_first_not_of("0123456789") != std::string::npos)
    throw UsageError{"draws prize takes the digits of a stored draw's issue"};
  args.Get("first");
  args.Get("second");
}

int SetPrize(LotteryCode lottery, const std::string& issue, const Args& args) {
  rg_FloatingAmounts amounts;
  if (const auto first = args.Get("first")) amounts.first = *ParsePrizeAmount(*first);
  if (const auto second = args.Get("second")) amounts.second = *ParsePrizeAmount(*second);
  const auto set = rg_DrawPrizes(rg_EasyDb::Process()).Set(lottery, FromUtf8(issue), amounts);
  if (!set && set.error().refused) {
    std::cerr << "xyh-cli: " << TerminalSafe(set.error().message) << "; nothing was written\n";
    return 2;
  }
  if (!set) {
    std::cerr << "xyh-cli: nothing was written\n";
    return StoreFailure("the prize amounts could not be stored: ");
  }
  std::cout << "stored the prizes of " << issue << "\n";
  return 0;
}

// A stored draw removed; the casts scored against it are missing again
// (check decides them from the archive as it is).
int DeleteDraw(rg_DrawArchive& archive, LotteryCode lottery, const std::string& issue) {
  const auto deleted = archive.Delete(lottery, FromUtf8(issue));
  if (!deleted && deleted.error().notFound) {
    std::cerr << "xyh-cli: " << deleted.error().message << "\n";
    return 1;
  }
  if (!deleted) {
    std::cerr << "xyh-cli: nothing was deleted\n";
    return ArchiveFailure(archive, "the draw could not be deleted: ");
  }
  std::cout << "deleted " << ToUtf8(*NormalIssue(lottery, FromUtf8(issue))) << "\n";
  return 0;
}

int ListGaps(rg_DrawArchive& archive, LotteryCode lottery, bool json) {
  const auto draws = archive.Draws(lottery);
  if (archive.LastStatus() != rg_StoreStatus::Ok)
    return StoreFailure("the draws could not be read: ");
  const auto missing = MissingIssues(draws);
  if (json) {
    Json::Value list(Json::arrayValue);
    for (const std::u16string& issue : missing) list.append(ToUtf8(issue));
    std::cout << JsonText(list) << "\n";
  } else {
    for (const std::u16string& issue : missing) std::cout << ToUtf8(issue) << "\n";
  }
  return std::cout.good() ? 0 : 1;
}

}  // namespace

void CheckDrawsLottery(const std::string& code, std::string_view /*option*/) { ParseLottery(code); }

void CheckPrizeAmount(const std::string& yuan, std::string_view option) {
  if (const auto amount = ParsePrizeAmount(yuan); !amount)
    throw UsageError{std::string(option) + ": " + amount.error().message};
}

int RunDraws(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("draws"));
  const auto& words = args.Positional();
  const std::string action = words.empty() ? "" : words[0];
  const std::size_t expected =
      action == "import" || action == "delete" || action == "prize" ? 2 : 1;
  if ((action != "list" && action != "export" && action != "import" && action != "add" &&
       action != "delete" && action != "gaps" && action != "prize") ||
      words.size() != expected) {
    throw UsageError{
        "draws takes list, export, import FILE, add, delete ISSUE, gaps or prize ISSUE"};
  }
  for (const char* option : {"first", "second"}) {
    if (args.Has(option) && action != "prize")
      throw UsageError{std::string("--") + option + " goes with draws prize"};
  }
  if (args.Has("json") && action != "list" && action != "gaps")
    throw UsageError{"--json goes with draws list and draws gaps"};
  for (const char* option : {"issue", "date", "red", "blue"}) {
    if (args.Has(option) && action != "add")
      throw UsageError{std::string("--") + option + " goes with draws add"};
    if (!args.Has(option) && action == "add") {
      throw UsageError{
          "draws add takes --issue N --date YYYY-MM-DD --red \"N N N N N N\" --blue N; --" +
          std::string(option) + " is missing"};
    }
  }
  const LotteryCode lottery = ParseLottery(args.Get("lottery"));
  if (action == "delete" && !NormalIssue(lottery, FromUtf8(words[1]))) {
    throw UsageError{"draws delete takes the issue of a stored draw, digits only; not \"" +
                     TerminalSafe(words[1]) + "\""};
  }

  std::string csv;
  if (action == "import") {
    if (const int failed = ReadDrawFile(words[1], csv); failed != 0) return failed;
  }

  if (action == "prize") CheckPrizeWords(lottery, words[1], args);
  if (!OpenStore(args.Get("home"), action != "import" && action != "prize")) return 1;
  rg_DrawArchive archive(rg_EasyDb::Process());
  if (action == "list") return ListDraws(archive, lottery, args.Has("json"));
  if (action == "export") return ExportDraws(lottery);
  if (action == "add") return AddDraw(archive, lottery, args);
  if (action == "gaps") return ListGaps(archive, lottery, args.Has("json"));
  if (action == "prize") return SetPrize(lottery, words[1], args);
  if (action == "delete") return DeleteDraw(archive, lottery, words[1]);
  return ImportDraws(lottery, csv, words[1]);
}

}  // namespace xyh_cli
