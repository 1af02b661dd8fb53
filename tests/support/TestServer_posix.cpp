#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "support/TestServer.h"

namespace test_support {

std::string HostPath(const std::filesystem::path& path) { return path.string(); }

int RunHost(const std::vector<std::string>& argv, int timeoutMs) {
  return rg_com_ptl_xyh::RunAndWait(argv, timeoutMs);
}

struct TestServer::Process {
  pid_t pid = -1;
};

TestServer::TestServer(const std::filesystem::path& root, const std::string& cert,
                       const std::string& key)
    : process_(std::make_unique<Process>()) {
  int fds[2];
  if (pipe(fds) != 0) return;
  process_->pid = fork();
  if (process_->pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    std::vector<std::string> args = {"python3", XYH_TEST_SERVER, root.string()};
    if (!cert.empty()) args.insert(args.end(), {"--cert", cert, "--key", key});
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execvp("python3", argv.data());
    _exit(127);
  }
  close(fds[1]);
  FILE* out = fdopen(fds[0], "r");
  if (out != nullptr && std::fscanf(out, "%d", &port_) != 1) port_ = 0;
  if (out != nullptr) std::fclose(out);
  tls_ = !cert.empty();
}

TestServer::~TestServer() {
  if (process_->pid > 0) {
    kill(process_->pid, SIGKILL);
    waitpid(process_->pid, nullptr, 0);
  }
}

}  // namespace test_support
