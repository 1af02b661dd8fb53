#include "cli/Args.h"

namespace xyh_cli {

Args::Args(const std::vector<std::string>& argv, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
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
    if (flags.count(name) != 0) {
      if (value) throw UsageError{"--" + name + " takes no value"};
      values_[name] = "";
    } else if (valued.count(name) != 0) {
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
  return it->second;
}

}  // namespace xyh_cli
