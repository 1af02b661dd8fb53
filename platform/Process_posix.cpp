#include "platform/Process.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;

namespace rg_com_ptl_xyh {

namespace {

// Spawns, with stdout and stderr sent nowhere when quiet, in a session of
// its own when detached; the child's pid or -1.
pid_t Spawn(const std::vector<std::string>& argv, bool quiet, bool detached = false) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
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

int RunAndWait(const std::vector<std::string>& argv, int timeoutMs,
               const std::atomic<bool>* abort) {
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
}

bool StartDetached(const std::vector<std::string>& argv) {
  const pid_t pid = Spawn(argv, false, true);
  if (pid < 0) return false;
  // Reaped in the background, so it never lingers as a zombie while we run.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
  return true;
}

std::vector<std::string> PingCommand(const std::string& host, int waitSeconds) {
  return {"ping", "-c", "1", "-W", std::to_string(waitSeconds), host};
}

}  // namespace rg_com_ptl_xyh
