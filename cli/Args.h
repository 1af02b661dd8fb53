#pragma once
// A small command-line reader: "--name value" and "--name=value" alike,
// flags without values, and positional words.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

namespace xyh_cli {

class Args {
 public:
  // The options of command: those with an argument take a value, the
  // others none. Throws UsageError for unknown options or a missing value.
  Args(const std::vector<std::string>& argv, const Command& command);

  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The value of --name, refused by the option's check when it has one.
  std::optional<std::string> Get(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  const Command* command_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// A bad argument: printed to standard error, exit code 2.
struct UsageError {
  std::string message;
};

// A saved cast's id as typed: digits only, 1 up to SQLite's largest row id
// (64 bits). Throws UsageError otherwise.
std::int64_t ParseRecordId(const std::string& text, std::string_view noun = "saved cast");

}  // namespace xyh_cli
