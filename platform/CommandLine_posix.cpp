#include "platform/CommandLine.h"

namespace rg_com_ptl_xyh {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

// The terminal's encoding is the locale's; the program writes UTF-8 as it is.
void UseUtf8Console() {}

}  // namespace rg_com_ptl_xyh
