// Writes the arguments it was given, as the program reads them, into the
// file its first argument names, each ended by a NUL byte: the other half
// of the command-line round trip of WindowsPlatformTest.cpp.
#include <fstream>

#include "platform/CommandLine.h"
#include "platform/Folders.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words = rg_com_ptl_xyh::Utf8Arguments(argc, argv);
  if (words.empty()) return 2;
  std::ofstream out(rg_com_ptl_xyh::PathFromUtf8(words[0]), std::ios::binary);
  for (std::size_t i = 1; i < words.size(); ++i) out << words[i] << '\0';
  return out ? 0 : 1;
}
