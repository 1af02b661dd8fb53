#pragma once
// Every xyh-cli command and what it takes, declared once in a table per
// command: the options read, the help texts, the manual page (help2man
// reads the help) and the bash completion all come from these tables.
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {

// One row of a command's help table: an option ("--name"), an action
// ("show"), a positional word ("ID"), or, without a name, a paragraph
// printed as it stands.
struct Term {
  std::string_view name = {};
  // The value it takes as the help shows it ("CODE", "csv|json"); empty
  // for a flag or an action without a word after it.
  std::string_view arg = {};
  // The text right of the name, one help line per '\n', without the indent.
  std::string_view help = {};
  // What bash offers for the value: words separated by spaces, or @file,
  // @dir, @id (the saved casts' ids). Empty: "a|b" in arg, else nothing.
  std::string_view offer = {};
  // The actions an option goes with, separated by spaces; empty: all.
  std::string_view actions = {};
  // The help column of this row when it is not the command's.
  int column = 0;
  // False for an option read before the others (cast --batch): the
  // option reader treats it as unknown.
  bool read = true;
  // Refuses a bad value with the UsageError the user sees; option is the
  // name ("--now") for texts that say it. Args runs it when the command
  // first reads the value, so the messages keep the order in which the
  // command reads its options. Rules that join options stay in the command.
  void (*check)(const std::string& value, std::string_view option) = nullptr;

  bool IsOption() const { return name.substr(0, 2) == "--"; }
  bool IsAction() const { return !name.empty() && name[0] >= 'a' && name[0] <= 'z'; }
};

struct Command {
  std::string_view name = {};
  std::string_view summary = {};  // its line in "xyh-cli --help"
  std::string_view usage = {};    // the help above the table
  int column = 0;                 // where the table's help texts start
  std::vector<Term> terms = {};
  int (*run)(const std::vector<std::string>& args) = nullptr;
};

// In the order "xyh-cli --help" lists them; help itself is the last.
const std::vector<Command>& Commands();
// A command with a help of its own (every one but help); nullptr otherwise.
const Command* FindCommand(std::string_view name);

std::string UsageText();
std::string HelpText(const Command& command);
// The tables of the bash completion, for "xyh-cli --completion bash".
std::string BashCompletionTables();

}  // namespace xyh_cli
