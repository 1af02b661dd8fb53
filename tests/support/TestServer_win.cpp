#include <winsock2.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "platform/Win32.h"
#include "support/TestServer.h"

// Under wine a Windows program starts a Linux program with a command line
// and files for its output, but gets no handle it can wait on or end it by
// (and a pipe reaches it as /dev/null). So what it prints goes to a file
// that is polled, and the server is stopped through a port of its own.
namespace test_support {

namespace win = rg_com_ptl_xyh::win;

namespace {

// sh finds the program on the host's PATH; the rest of the words follow it
// as they are.
bool StartHost(const std::vector<std::string>& argv, const std::string& script, HANDLE in,
               HANDLE out) {
  std::vector<std::string> line = {"/bin/sh", "-c", script, "sh"};
  line.insert(line.end(), argv.begin(), argv.end());
  std::wstring command = win::CommandLine(line);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  // No CREATE_NO_WINDOW: with it wine does not start a Linux program at all.
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  if (pi.hThread != nullptr) CloseHandle(pi.hThread);
  if (pi.hProcess != nullptr) CloseHandle(pi.hProcess);
  return true;
}

win::Handle InheritedFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return win::Handle(CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file's first line once it has ended; polled. Empty when it has not
// ended in time.
std::string PollLine(const std::filesystem::path& file, int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < until) {
    const std::string text = FileBytes(file);
    if (const auto end = text.find('\n'); end != std::string::npos) return text.substr(0, end);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return {};
}

}  // namespace

std::string HostPath(const std::filesystem::path& path) {
  // wine's own export: the Linux name of a Windows path.
  using UnixName = char*(CDECL*)(LPCWSTR);
  static const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* name = unixName(std::filesystem::absolute(path).c_str());
  if (name == nullptr) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

int RunHost(const std::vector<std::string>& argv, int timeoutMs) {
  const TempDir dir;
  const std::filesystem::path done = dir.path() / "exit-code";
  std::vector<std::string> words = {HostPath(done)};
  words.insert(words.end(), argv.begin(), argv.end());
  // The exit code is written under another name and then renamed, so a
  // poll never reads half of it.
  win::Handle nul = InheritedFile(L"NUL", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (!StartHost(words,
                 "done=$1; shift; \"$@\" >/dev/null 2>&1; echo $? >\"$done.part\"; "
                 "mv \"$done.part\" \"$done\"",
                 nul.get(), nul.get()))
    return -1;
  int code = -1;
  std::istringstream(PollLine(done, timeoutMs)) >> code;
  return code;
}

struct TestServer::Process {
  TempDir dir;
  int control = 0;  // a connection to it ends the server
};

TestServer::TestServer(const std::filesystem::path& root, const std::string& cert,
                       const std::string& key)
    : process_(std::make_unique<Process>()) {
  const std::filesystem::path portFile = process_->dir.path() / "ports";
  // The file stays open until the ports are known: wine hands it over to
  // the Linux program some time after CreateProcessW has returned. A
  // server left behind by a test that crashed ends after a quarter hour.
  win::Handle out = InheritedFile(portFile, GENERIC_WRITE, CREATE_ALWAYS);
  win::Handle nul = InheritedFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  std::vector<std::string> args = {"python3", XYH_TEST_SERVER, HostPath(root), "--control", "900"};
  if (!cert.empty()) args.insert(args.end(), {"--cert", HostPath(cert), "--key", HostPath(key)});
  if (!StartHost(args, "exec \"$@\"", nul.get(), out.get())) return;
  std::istringstream(PollLine(portFile, 20'000)) >> port_ >> process_->control;
  tls_ = !cert.empty();
}

TestServer::~TestServer() {
  if (process_->control <= 0) return;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s != INVALID_SOCKET) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(process_->control));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Whether it connects or not, there is nothing more to do.
    (void)connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    closesocket(s);
  }
  WSACleanup();
}

}  // namespace test_support
