#include "cli/HistoryTransfer.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include "cli/Common.h"
#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "platform/Folders.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

// At most limit + 1 bytes, so that a larger file is seen to be too large.
bool ReadBounded(std::istream& in, std::string& bytes) {
  bytes.clear();
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kHistoryFileLimit) return true;
  }
  return !in.bad();
}

// Written beside the target and renamed over it, so that a failed export
// never leaves half a file where a good one was.
bool WriteFileWhole(const std::filesystem::path& target, const std::string& bytes) {
  std::filesystem::path temp = target;
  temp += ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}

int Export(const Args& args) {
  const std::string format = args.Get("format").value_or("csv");
  if (format != "csv" && format != "json") throw UsageError{"--format takes csv or json"};
  if (args.Positional().size() != 1)
    throw UsageError{"history export takes no file name; use --output FILE"};
  if (!OpenStore(args.Get("home"))) return 1;
  std::vector<rg_HistoryRow> rows;
  if (!ReadHistoryRows(rg_EasyDb::Process(), rows)) {
    std::cerr << "xyh-cli: the history cannot be read\n";
    return 1;
  }
  const std::string bytes =
      WriteHistoryFile(rows, format == "json" ? rg_HistoryFormat::Json : rg_HistoryFormat::Csv);
  // CSV has no place for plays: said, but the casts are still exported.
  if (format == "csv" && std::any_of(rows.begin(), rows.end(),
                                     [](const rg_HistoryRow& r) { return !r.plays.empty(); }))
    std::cerr << "复式/胆拖投注未导出,请用 --format json\n";
  if (const auto output = args.Get("output")) {
    if (!WriteFileWhole(PathFromUtf8(*output), bytes)) {
      std::cerr << "xyh-cli: cannot write " << *output << "\n";
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
  std::string bytes;
  bool read = false;
  if (name == "-") {
    read = ReadBounded(std::cin, bytes);
  } else {
    std::ifstream in(PathFromUtf8(name), std::ios::binary);
    read = in.is_open() && ReadBounded(in, bytes);
  }
  if (!read) {
    std::cerr << "xyh-cli: cannot read " << name << "\n";
    return 1;
  }
  if (!OpenStore(args.Get("home"))) return 1;
  const rg_ImportOutcome outcome = ImportHistory(rg_EasyDb::Process(), bytes);
  if (!outcome.ok) {
    std::cerr << "xyh-cli: nothing imported from " << name << ": " << outcome.error << "\n";
    return 1;
  }
  std::cout << "imported " << outcome.added << ", skipped " << outcome.skipped << " already saved";
  if (outcome.playsAdded > 0) std::cout << ", " << outcome.playsAdded << " plays added";
  std::cout << "\n";
  return 0;
}

}  // namespace

int RunHistoryTransfer(const Args& args) {
  return args.Positional().at(0) == "export" ? Export(args) : Import(args);
}

}  // namespace xyh_cli
