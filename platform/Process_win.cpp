#include <chrono>

#include "platform/Process.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

namespace {

struct Started {
  win::Handle process;
  bool ok = false;
};

// Started directly, never through cmd.exe, so no word of argv is ever
// read as a command. Quiet: no window and output sent nowhere.
Started Spawn(const std::vector<std::string>& argv, bool quiet, bool detached) {
  Started started;
  if (argv.empty()) return started;
  std::wstring line = win::CommandLine(argv);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = quiet ? SW_HIDE : SW_SHOWNORMAL;
  win::Handle nul;
  if (quiet) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    nul = win::Handle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                  nullptr));
    if (nul.valid()) {
      si.dwFlags |= STARTF_USESTDHANDLES;
      si.hStdInput = nul.get();
      si.hStdOutput = nul.get();
      si.hStdError = nul.get();
    }
  }
  DWORD flags = CREATE_UNICODE_ENVIRONMENT;
  if (quiet) flags |= CREATE_NO_WINDOW;
  if (detached) flags |= DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, nul.valid() ? TRUE : FALSE, flags,
                      nullptr, nullptr, &si, &pi)) {
    return started;
  }
  CloseHandle(pi.hThread);
  started.process = win::Handle(pi.hProcess);
  started.ok = true;
  return started;
}

}  // namespace

int RunAndWait(const std::vector<std::string>& argv, int timeoutMs,
               const std::atomic<bool>* abort) {
  Started child = Spawn(argv, true, false);
  if (!child.ok) return -1;
  const auto start = std::chrono::steady_clock::now();
  while (true) {
    if (WaitForSingleObject(child.process.get(), 100) == WAIT_OBJECT_0) {
      DWORD code = 0;
      return GetExitCodeProcess(child.process.get(), &code) ? static_cast<int>(code) : -1;
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    if (waited >= std::chrono::milliseconds(timeoutMs) || (abort != nullptr && abort->load())) {
      TerminateProcess(child.process.get(), 1);
      WaitForSingleObject(child.process.get(), INFINITE);
      return -1;
    }
  }
}

bool StartDetached(const std::vector<std::string>& argv) {
  // Its handle closed at once: nothing waits for it, and Windows keeps no
  // zombie.
  return Spawn(argv, false, true).ok;
}

std::vector<std::string> PingCommand(const std::string& host, int waitSeconds) {
  return {"ping", "-n", "1", "-w", std::to_string(waitSeconds * 1000), host};
}

}  // namespace rg_com_ptl_xyh
