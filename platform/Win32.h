#pragma once
// What the Windows files of the platform layer share: UTF-8 to and from the
// wide text every Windows call takes, and the system's error codes as the
// errno values the rest of the program words its messages from. Included
// only by the *_win.cpp files.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace rg_com_ptl_xyh::win {

std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A command line that the C runtime of the started program splits back into
// exactly these arguments: no word of it is ever read by a shell.
std::wstring CommandLine(const std::vector<std::string>& argv);

// The errno value a GetLastError code stands for (ENOENT, EACCES, ENOSPC,
// …; kErrorInUse for a file another program holds open), so that a failure
// reads the same whichever system said it.
int ErrnoOf(DWORD error);

// A handle closed when it goes.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : h_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.release();
    }
    return *this;
  }
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  void Close() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

}  // namespace rg_com_ptl_xyh::win
