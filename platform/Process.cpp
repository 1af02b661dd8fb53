#include "platform/Process.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace rg_com_ptl_xyh {

#ifdef _WIN32
namespace {
std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const auto& a : argv) {
    if (!line.empty()) line += L' ';
    line += std::wstring(a.begin(), a.end());
  }
  return line;
}
}  // namespace
#else
namespace {

// Spawns, with stdout and stderr sent nowhere when quiet, in a session of
// its own when detached; the child's pid or -1.
pid_t Spawn(const std::vector<std::string>& argv, bool quiet, bool detached = false) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (detached) posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

}  // namespace
#endif

int RunAndWait(const std::vector<std::string>& argv, int timeoutMs, const std::atomic<bool>* abort) {
#ifdef _WIN32
  std::wstring line = CommandLine(argv);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return -1;
  }
  int waited = 0;
  DWORD code = static_cast<DWORD>(-1);
  while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
    waited += 100;
    if (waited >= timeoutMs || (abort != nullptr && abort->load())) {
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, INFINITE);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      return -1;
    }
  }
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
#else
  const pid_t pid = Spawn(argv, true);
  if (pid < 0) return -1;
  const auto start = std::chrono::steady_clock::now();
  while (true) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    const auto waited = std::chrono::steady_clock::now() - start;
    if (waited >= std::chrono::milliseconds(timeoutMs) || (abort != nullptr && abort->load())) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
#endif
}

bool StartDetached(const std::vector<std::string>& argv) {
#ifdef _WIN32
  std::wstring line = CommandLine(argv);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForInputIdle(pi.hProcess, 500);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
#else
  const pid_t pid = Spawn(argv, false, true);
  if (pid < 0) return false;
  // Reaped in the background, so it never lingers as a zombie while we run.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
  return true;
#endif
}

}  // namespace rg_com_ptl_xyh
