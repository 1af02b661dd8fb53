// xyh-cli: 星衍推号 from the command line, over the same core as the window.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "platform/CommandLine.h"
#include "xyh/Version.h"

namespace {

int Help(const std::string& name) {
  const xyh_cli::Command* command = xyh_cli::FindCommand(name);
  if (command == nullptr) {
    std::string names;
    for (const xyh_cli::Command& c : xyh_cli::Commands()) {
      if (c.run != nullptr) names += (names.empty() ? "" : ", ") + std::string(c.name);
    }
    std::cerr << "xyh-cli: no help on \"" << name << "\"; commands: " << names << "\n";
    return 2;
  }
  std::cout << xyh_cli::HelpText(*command);
  return 0;
}

// What a command printed is only done once it is out: a full disk or a
// closed pipe behind standard output makes the command fail, whatever it
// returned.
int FinishOutput(int code) {
  std::cout.flush();
  const bool streamFailed = !std::cout;
  errno = 0;
  const bool flushFailed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  const int error = errno;
  if (!streamFailed && !flushFailed) return code;
  std::cerr << "xyh-cli: writing to standard output failed";
  if (flushFailed && error != 0) std::cerr << ": " << std::strerror(error);
  std::cerr << "\n";
  return code == 0 ? 1 : code;
}

int Dispatch(const std::string& name, const std::vector<std::string>& args) {
  if (name == "--version" || name == "version") {
    std::cout << "xyh-cli " << rg_com_ptl_xyh::kVersion << "\n";
    return 0;
  }
  if (name == "--help" || name == "-h") {
    std::cout << xyh_cli::UsageText();
    return 0;
  }
  if (name == "help") return args.empty() ? (std::cout << xyh_cli::UsageText(), 0) : Help(args[0]);
  // Not in the help: the packaging makes the bash completion with it.
  if (name == "--completion" && args == std::vector<std::string>{"bash"}) {
    std::cout << xyh_cli::BashCompletionTables();
    return 0;
  }
  const xyh_cli::Command* command = xyh_cli::FindCommand(name);
  if (command == nullptr) {
    std::cerr << "xyh-cli: unknown command \"" << name << "\"\n\n" << xyh_cli::UsageText();
    return 2;
  }
  // "COMMAND --help" anywhere among the words asks for the command's help.
  if (std::any_of(args.begin(), args.end(),
                  [](const std::string& a) { return a == "--help" || a == "-h"; })) {
    return Help(name);
  }
  return command->run(args);
}

}  // namespace

int main(int argc, char** argv) {
  rg_com_ptl_xyh::UseUtf8Console();
  std::vector<std::string> args = rg_com_ptl_xyh::Utf8Arguments(argc, argv);
  if (args.empty()) {
    std::cerr << xyh_cli::UsageText();
    return 2;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  int code = 1;
  try {
    code = Dispatch(command, args);
  } catch (const xyh_cli::UsageError& e) {
    std::cerr << "xyh-cli: " << e.message << "\n";
    code = 2;
  } catch (const std::exception& e) {
    // Nothing may end the program with an abort: whatever escaped is said.
    std::cerr << "xyh-cli: the command failed: " << e.what() << "\n";
    code = 1;
  } catch (...) {
    std::cerr << "xyh-cli: the command failed with an unknown error\n";
    code = 1;
  }
  return FinishOutput(code);
}
