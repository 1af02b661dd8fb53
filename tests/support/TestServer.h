#pragma once
// The test web server (test_server.py) on 127.0.0.1, plain or with TLS, and
// the certificates it presents. Nothing here reaches any other host.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace test_support {

// A program of the machine the tests run on (sh, openssl, python3): on Linux
// this machine; under wine the Linux host, which a Windows program can start
// but neither wait for nor signal. HostPath gives it a path of ours.
std::string HostPath(const std::filesystem::path& path);
// Its exit code, or -1 when it could not start or took too long.
int RunHost(const std::vector<std::string>& argv, int timeoutMs);

// A certificate authority of the test and a server certificate it signed
// for 127.0.0.1; plus a self-signed certificate nobody trusts.
struct TestCertificates {
  TempDir dir;
  std::filesystem::path caCert, serverCert, serverKey, selfCert, selfKey;

  TestCertificates() {
    const auto p = [this](const char* name) { return dir.path() / name; };
    caCert = p("ca.pem");
    serverCert = p("server.pem");
    serverKey = p("server.key");
    selfCert = p("self.pem");
    selfKey = p("self.key");
    RunHost({"sh", XYH_MAKE_CERTS, HostPath(dir.path())}, 60'000);
  }
};

// Whether this machine lets us ping at all; the tests that need the probe
// to succeed are skipped (and say why) where it does not.
inline bool PingWorks() {
  static const bool works =
      rg_com_ptl_xyh::RunAndWait(rg_com_ptl_xyh::PingCommand("127.0.0.1", 2), 5000) == 0;
  return works;
}
#define XYH_SKIP_WITHOUT_PING() \
  if (!test_support::PingWorks()) GTEST_SKIP() << "ping 127.0.0.1 does not work here"

class TestServer {
 public:
  // root: the folder /files/ and /update/ serve from.
  explicit TestServer(const std::filesystem::path& root, const std::string& cert = {},
                      const std::string& key = {});
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const {
    return std::string(tls_ ? "https://" : "http://") + Host() + path;
  }
  // The same by the name localhost, which its certificates carry too.
  std::string NamedHost() const { return "localhost:" + std::to_string(port_); }
  std::string NamedUrl(const std::string& path) const {
    return std::string(tls_ ? "https://" : "http://") + NamedHost() + path;
  }
  std::u16string Url16(const std::string& path) const {
    const std::string u = Url(path);
    return std::u16string(u.begin(), u.end());
  }

 private:
  struct Process;
  std::unique_ptr<Process> process_;
  int port_ = 0;
  bool tls_ = false;
};

}  // namespace test_support
