#include "cli/HistoryTransfer.h"

#include <unistd.h>
#include <algorithm>
#include <iostream>

#include "cli/Common.h"
#include "cli/Terminal.h"
#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "platform/Files.h"
#include "platform/Folders.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

int Export(const Args& args) {
  const std::string format = args.Get("format").value_or("csv");
  if (args.Positional().size() != 1)
    throw UsageError{"history export takes no file name; use --output FILE"};
  const auto output = args.Get("output");
  // A target that can never hold the export is refused before any work.
  if (output) {
    if (const Result<void> target = CheckWriteTarget(PathFromUtf8(*output)); !target) {
      std::cerr << "xyh-cli: cannot write \"" << *output << "\": " << target.error().message
                << "\n";
      return 1;
    }
  }
  if (!OpenStore(args.Get("home"), true)) return 1;
  const Result<std::vector<rg_HistoryRow>> read = ReadHistoryRows(rg_EasyDb::Process());
  if (!read) {
    if (read.error().refused) {
      std::cerr << "xyh-cli: nothing exported: " << TerminalSafe(read.error().message) << "\n";
    } else {
      std::cerr << "xyh-cli: the history cannot be read\n";
    }
    return 1;
  }
  const std::vector<rg_HistoryRow>& rows = *read;
  const std::string bytes =
      WriteHistoryFile(rows, format == "json" ? rg_HistoryFormat::Json : rg_HistoryFormat::Csv);
  // A backup the import would refuse is no backup: refused before a byte is out.
  if (const std::string why = HistoryExportRefusal(rows, bytes); !why.empty()) {
    std::cerr << "xyh-cli: nothing exported: " << why << "\n";
    return 1;
  }
  // CSV has no place for plays: said, but the casts are still exported.
  if (format == "csv" && std::any_of(rows.begin(), rows.end(),
                                     [](const rg_HistoryRow& r) { return !r.plays.empty(); }))
    std::cerr << "复式/胆拖投注未导出,请用 --format json\n";
  if (output) {
    if (const Result<void> written = WriteFileAtomically(PathFromUtf8(*output), bytes); !written) {
      std::cerr << "xyh-cli: cannot write \"" << *output << "\": " << written.error().message
                << "\n";
      return 1;
    }
    std::cerr << "exported " << rows.size() << " to " << *output << "\n";
    return 0;
  }
  std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::cout.flush();
  return std::cout ? 0 : 1;
}

int Import(const Args& args) {
  if (args.Positional().size() != 2)
    throw UsageError{"history import takes one FILE (- for standard input)"};
  if (args.Has("format") || args.Has("output"))
    throw UsageError{"history import reads either format by itself"};
  const std::string& name = args.Positional()[1];
  const Result<std::string> read = name == "-"
                                       ? ReadDescriptor(STDIN_FILENO, kHistoryFileLimit)
                                       : ReadRegularFile(PathFromUtf8(name), kHistoryFileLimit);
  if (!read) {
    if (read.error().problem == rg_FileProblem::TooLarge) {
      std::cerr << "xyh-cli: nothing imported from " << name << ": 文件超过 "
                << (kHistoryFileLimit >> 20) << " MiB,不读\n";
    } else {
      std::cerr << "xyh-cli: cannot read " << (name == "-" ? "standard input" : name) << ": "
                << read.error().message << "\n";
    }
    return 1;
  }
  if (!OpenStore(args.Get("home"))) return 1;
  const Result<rg_ImportOutcome> imported = ImportHistory(rg_EasyDb::Process(), *read);
  if (!imported) {
    std::cerr << "xyh-cli: nothing imported from " << name << ": " << imported.error().message
              << "\n";
    return 1;
  }
  const rg_ImportOutcome& outcome = *imported;
  std::cout << "imported " << outcome.added << ", skipped " << outcome.skipped << " already saved";
  if (outcome.playsAdded > 0) std::cout << ", " << outcome.playsAdded << " plays added";
  std::cout << "\n";
  return 0;
}

}  // namespace

void CheckFormat(const std::string& format, std::string_view /*option*/) {
  if (format != "csv" && format != "json") throw UsageError{"--format takes csv or json"};
}

int RunHistoryTransfer(const Args& args) {
  return args.Positional().at(0) == "export" ? Export(args) : Import(args);
}

}  // namespace xyh_cli
