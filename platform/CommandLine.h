#pragma once
// The program's arguments and its console, as UTF-8 whatever the system:
// Windows hands a program its words in the ANSI code page unless they are
// taken from the wide command line, and its console shows bytes in the
// console's code page unless told otherwise.
#include <string>
#include <vector>

namespace rg_com_ptl_xyh {

// The words after the program's name, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and error written as UTF-8 bytes, as they are, to a
// console (which then shows them right) and to a file or pipe (which gets
// them unchanged: no "\r" put before each "\n").
void UseUtf8Console();

}  // namespace rg_com_ptl_xyh
