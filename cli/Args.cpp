#include "cli/Args.h"

#include <climits>

#include "cli/Terminal.h"

namespace xyh_cli {

namespace {

// The option of command called name ("number" for --number), if it reads one.
const Term* FindOption(const Command& command, const std::string& name) {
  for (const Term& term : command.terms) {
    if (term.IsOption() && term.read && term.name.substr(2) == name) return &term;
  }
  return nullptr;
}

}  // namespace

Args::Args(const std::vector<std::string>& argv, const Command& command) : command_(&command) {
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      positional_.push_back(arg);
      continue;
    }
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const Term* option = FindOption(command, name);
    if (option != nullptr && option->arg.empty()) {
      if (value) throw UsageError{"--" + name + " takes no value"};
      values_[name] = "";
    } else if (option != nullptr) {
      if (!value) {
        // The next word is the value even when it starts with '-', so
        // "--dong -1,0,0,0,0,1" works.
        if (i + 1 >= argv.size()) throw UsageError{"--" + name + " needs a value"};
        value = argv[++i];
      }
      if (values_.count(name) != 0) throw UsageError{"--" + name + " given twice"};
      values_[name] = *value;
    } else {
      throw UsageError{"unknown option --" + name};
    }
  }
}

std::optional<std::string> Args::Get(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  if (const Term* option = FindOption(*command_, name); option != nullptr && option->check)
    option->check(it->second, option->name);
  return it->second;
}

std::int64_t ParseRecordId(const std::string& text, std::string_view noun) {
  if (text.empty() || text.size() > 19 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError{"a " + std::string(noun) + "'s id is a positive whole number; not \"" +
                     TerminalSafe(text) + "\""};
  }
  // 19 digits can still pass the largest 64-bit id.
  const unsigned long long id = std::stoull(text);
  if (id < 1 || id > static_cast<unsigned long long>(INT64_MAX)) {
    throw UsageError{"no " + std::string(noun) + " can have the id " + text};
  }
  return static_cast<std::int64_t>(id);
}

}  // namespace xyh_cli
