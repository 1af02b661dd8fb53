// windows.h before the shell's headers, which need its macros.
#include "platform/Win32.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/CommandLine.h"

namespace rg_com_ptl_xyh {

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> words;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return words;
  for (int i = 1; i < count; ++i) words.push_back(win::Narrow(wide[i]));
  LocalFree(wide);
  return words;
}

void UseUtf8Console() {
  // A window program started from a console has none of its own: it writes
  // to its parent's (--version, --help) when its output goes nowhere else.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    FILE* ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
  }
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
}

}  // namespace rg_com_ptl_xyh
