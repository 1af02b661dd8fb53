// xyh-cli cast --batch: many casts in one process, one per line.
#include <json/json.h>

#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Args.h"
#include "cli/BatchLine.h"
#include "cli/Cast.h"
#include "cli/Common.h"

namespace xyh_cli {

int RunCastBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out) {
  for (const std::string& arg : args) {
    // A batch's charts mark the default topic: --topic belongs nowhere.
    if (arg == "--topic") throw UsageError{std::string(kBatchTopic)};
    if (arg != "--batch" && arg != "--json") {
      throw UsageError{"--batch reads each cast's options from standard input; \"" + arg +
                       "\" belongs on those lines"};
    }
  }
  // Nothing else reads or writes through C stdio in this mode.
  std::ios::sync_with_stdio(false);
  bool failed = false;
  std::string line;
  std::string error;
  for (long number = 1;; ++number) {
    Read read = Read::End;
    try {
      read = ReadLine(*in.rdbuf(), line);
    } catch (const std::exception& e) {
      // The stream's buffer throws on a read error (EIO, EISDIR).
      out.flush();
      std::cerr << "xyh-cli: reading standard input failed at line " << number << ": " << e.what()
                << "\n";
      return 1;
    }
    if (read == Read::End) break;
    error.clear();
    if (read == Read::TooLong) {
      error = "line longer than " + std::to_string(kMaxLine) + " bytes";
    } else if (const auto words = SplitWords(line, error); !words) {
      // error says why
    } else if (words->empty()) {
      error = "empty line";
    } else {
      try {
        RunCastTo(*words, out, true);
      } catch (const UsageError& e) {
        error = e.message;
      } catch (const std::exception& e) {
        error = e.what();
      }
    }
    if (!error.empty()) {
      out << BatchErrorLine(number, error) << "\n";
      failed = true;
    }
  }
  out.flush();
  return failed ? 1 : 0;
}

}  // namespace xyh_cli
