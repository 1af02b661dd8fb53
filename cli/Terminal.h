#pragma once
// Saved titles and notes come from the user or from a file another program
// may have written: before they reach a terminal, its control characters
// are shown as escapes rather than obeyed.
#include <string>
#include <string_view>

namespace xyh_cli {

// C0 controls and DEL as \xHH (\t, \n, \r by name), C1 controls as \u0080..\u009f.
std::string TerminalSafe(std::string_view utf8);
// The same for JSON text: jsoncpp escapes C0 itself; DEL and C1 become
// \u escapes, which a JSON reader reads back as the same characters.
std::string JsonTerminalSafe(std::string_view json);

}  // namespace xyh_cli
