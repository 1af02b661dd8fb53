#pragma once
// The test web server (test_server.py) on 127.0.0.1, plain or with TLS, and
// the certificates it presents. Nothing here reaches any other host.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace test_support {

// A certificate authority of the test and a server certificate it signed
// for 127.0.0.1; plus a self-signed certificate nobody trusts.
struct TestCertificates {
  TempDir dir;
  std::filesystem::path caCert, serverCert, serverKey, selfCert, selfKey;

  TestCertificates() {
    const auto p = [this](const char* name) { return (dir.path() / name).string(); };
    caCert = p("ca.pem");
    serverCert = p("server.pem");
    serverKey = p("server.key");
    selfCert = p("self.pem");
    selfKey = p("self.key");
    std::ofstream(p("san.ext")) << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
    Run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=xyh test CA",
         "-days", "2", "-keyout", p("ca.key"), "-out", caCert.string()});
    Run({"openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
         serverKey.string(), "-out", p("server.csr")});
    Run({"openssl", "x509", "-req", "-in", p("server.csr"), "-CA", caCert.string(), "-CAkey",
         p("ca.key"), "-CAcreateserial", "-days", "2", "-extfile", p("san.ext"), "-out",
         serverCert.string()});
    Run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
         "-days", "2", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", selfKey.string(),
         "-out", selfCert.string()});
  }

 private:
  static void Run(const std::vector<std::string>& argv) {
    rg_com_ptl_xyh::RunAndWait(argv, 60'000);
  }
};

// Whether this machine lets us ping at all; the tests that need the probe
// to succeed are skipped (and say why) where it does not.
inline bool PingWorks() {
  static const bool works =
      rg_com_ptl_xyh::RunAndWait({"ping", "-c", "1", "-W", "2", "127.0.0.1"}, 5000) == 0;
  return works;
}
#define XYH_SKIP_WITHOUT_PING() \
  if (!test_support::PingWorks()) GTEST_SKIP() << "ping 127.0.0.1 does not work here"

class TestServer {
 public:
  // root: the folder /files/ and /update/ serve from.
  explicit TestServer(const std::filesystem::path& root, const std::string& cert = {},
                      const std::string& key = {}) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
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
  ~TestServer() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const {
    return std::string(tls_ ? "https://" : "http://") + Host() + path;
  }
  std::u16string Url16(const std::string& path) const {
    const std::string u = Url(path);
    return std::u16string(u.begin(), u.end());
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  bool tls_ = false;
};

}  // namespace test_support
