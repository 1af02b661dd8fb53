#include <cstring>

#include "platform/BellSocket.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr char kRing[] = "raise";
constexpr DWORD kRingSize = sizeof kRing - 1;
static_assert(sizeof(OVERLAPPED) <= 32, "the header keeps 32 bytes for it");

// Named pipes live in a namespace of their own, not beside the lock: the
// name is made from the lock's full path (case folded, as Windows compares
// paths), so each lock file has its own bell.
std::wstring PipeName(const std::filesystem::path& lockFile) {
  std::error_code ec;
  std::wstring path = std::filesystem::absolute(lockFile, ec).wstring();
  CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  unsigned long long hash = 1469598103934665603ULL;
  for (const wchar_t c : path) {
    hash ^= static_cast<unsigned long long>(c);
    hash *= 1099511628211ULL;
  }
  wchar_t hex[17];
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[i] = L"0123456789abcdef"[hash & 0xF];
  hex[16] = L'\0';
  return std::wstring(L"\\\\.\\pipe\\xyh-bell-") + hex;
}

OVERLAPPED* Pending(unsigned char* storage) { return reinterpret_cast<OVERLAPPED*>(storage); }

// NOLINTNEXTLINE(performance-no-int-to-ptr): handles kept as numbers
HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// Waits for the next caller without blocking: the event is set when one
// has connected.
void Accept(HANDLE pipe, OVERLAPPED* pending) {
  ResetEvent(pending->hEvent);
  if (ConnectNamedPipe(pipe, pending)) {
    SetEvent(pending->hEvent);
    return;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_PIPE_CONNECTED) SetEvent(pending->hEvent);
}

}  // namespace

std::filesystem::path rg_BellSocket::PathFor(const std::filesystem::path& lockFile) {
  return std::filesystem::path(PipeName(lockFile));
}

bool rg_BellSocket::Listen(const std::filesystem::path& lockFile, std::string* reason) {
  Close();
  const auto fail = [reason](DWORD error) {
    if (reason != nullptr) *reason = "error " + std::to_string(error);
    return false;
  };
  // The first instance only: a pipe of this name made by anyone else makes
  // this fail rather than share it. Remote callers are refused.
  HANDLE pipe = CreateNamedPipeW(
      PipeName(lockFile).c_str(),
      PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 64, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return fail(GetLastError());
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) {
    const DWORD error = GetLastError();
    CloseHandle(pipe);
    return fail(error);
  }
  std::memset(pending_, 0, sizeof pending_);
  Pending(pending_)->hEvent = event;
  pipe_ = reinterpret_cast<std::intptr_t>(pipe);
  fd_ = reinterpret_cast<std::intptr_t>(event);
  path_ = PathFor(lockFile);
  Accept(pipe, Pending(pending_));
  return true;
}

int rg_BellSocket::TakeRings() {
  if (pipe_ == -1) return 0;
  OVERLAPPED* pending = Pending(pending_);
  if (WaitForSingleObject(pending->hEvent, 0) != WAIT_OBJECT_0) return 0;
  HANDLE pipe = AsHandle(pipe_);
  int rings = 0;
  // Only the one word counts; anything else is dropped with the caller.
  char buffer[64];
  DWORD available = 0;
  if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    OVERLAPPED read{};
    read.hEvent = pending->hEvent;
    ResetEvent(read.hEvent);
    DWORD n = 0;
    if (ReadFile(pipe, buffer, sizeof buffer, &n, &read) || (GetLastError() == ERROR_MORE_DATA) ||
        (GetLastError() == ERROR_IO_PENDING && GetOverlappedResult(pipe, &read, &n, FALSE))) {
      if (n >= kRingSize && std::memcmp(buffer, kRing, kRingSize) == 0) ++rings;
    } else {
      CancelIo(pipe);
    }
  }
  DisconnectNamedPipe(pipe);
  Accept(pipe, pending);
  return rings;
}

void rg_BellSocket::Close() {
  if (pipe_ == -1) return;
  CancelIo(AsHandle(pipe_));
  CloseHandle(AsHandle(pipe_));
  CloseHandle(AsHandle(fd_));
  pipe_ = -1;
  fd_ = -1;
  path_.clear();
}

bool rg_BellSocket::Ring(const std::filesystem::path& lockFile) {
  const std::wstring name = PipeName(lockFile);
  // A busy listener (another ring being read) is worth a short wait; no
  // listener at all fails at once.
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 2 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
    pipe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY)
      WaitNamedPipeW(name.c_str(), 500);
    else if (pipe == INVALID_HANDLE_VALUE)
      return false;
  }
  if (pipe == INVALID_HANDLE_VALUE) return false;
  // The copy that runs may take the foreground only when the one the user
  // just started (which has it) allows it.
  ULONG server = 0;
  if (GetNamedPipeServerProcessId(pipe, &server)) AllowSetForegroundWindow(server);
  DWORD n = 0;
  const bool sent = WriteFile(pipe, kRing, kRingSize, &n, nullptr) && n == kRingSize;
  CloseHandle(pipe);
  return sent;
}

}  // namespace rg_com_ptl_xyh
