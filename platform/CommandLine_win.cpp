#include "platform/Win32.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/CommandLine.h"

namespace rg_com_ptl_xyh {

namespace {

// The C runtime's own split of the wide command line (msvcrt exports it,
// its headers do not declare it). Not CommandLineToArgvW: that is shell32,
// whose loading makes every start of xyh-cli.exe slower, most of all under
// wine, and the runtime's split is the one Process_win.cpp quotes for.
struct StartInfo {
  int newMode;
};
// NOLINTNEXTLINE(bugprone-reserved-identifier): the runtime's name, not ours
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards,
                              StartInfo* info);

}  // namespace

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> words;
  int count = 0;
  wchar_t** wide = nullptr;
  wchar_t** environment = nullptr;
  StartInfo info{0};
  if (__wgetmainargs(&count, &wide, &environment, 0, &info) != 0 || wide == nullptr) return words;
  for (int i = 1; i < count; ++i) words.push_back(win::Narrow(wide[i]));
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
