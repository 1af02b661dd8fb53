#pragma once
// rg_startup_class: process start, owner of the main window.
// Process start: the leftover installer, the single-instance lock and the
// main window; and the guard that reports an escaping exception.
#include <QApplication>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/InstanceLock.h"

namespace rg_com_ptl_xyh {

class rg_InstanceBell;
class rg_XyhWin;

// An error of the program itself, with a code and a description.
struct rg_ProgramError : std::exception {
  rg_ProgramError(int errorCode, std::string text)
      : code(errorCode), description(std::move(text)) {}
  const char* what() const noexcept override { return description.c_str(); }
  int code;
  std::string description;
};

// Carries an exception out of an event handler to the process entry.
class rg_Application : public QApplication {
 public:
  rg_Application(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
  void RethrowPending();

 private:
  std::exception_ptr pending_;
};

class rg_startup_class {
 public:
  struct Options {
    std::filesystem::path home;
    std::filesystem::path lockFile;  // the user's folder / xyh.sq when empty
    bool splash = true;
  };
  explicit rg_startup_class(Options options);
  ~rg_startup_class();

  // False when no window was made: another copy runs (it is brought to the
  // front and nothing is shown here), or the lock file cannot be made or
  // locked (a message says where and why).
  bool Start();
  // The process's exit code after Start returned false: 0 beside another
  // copy, 1 when the lock failed.
  int ExitCode() const { return exitCode_; }
  rg_XyhWin* Window() const { return window_.get(); }
  rg_InstanceBell* Bell() const { return bell_.get(); }

 private:
  Options options_;
  rg_InstanceLock lock_;
  std::unique_ptr<rg_XyhWin> window_;
  std::unique_ptr<rg_InstanceBell> bell_;
  int exitCode_ = 0;
};

// Runs body; an exception that escapes it is shown in a message box and
// turns into the exit code -1.
int RunGuarded(const std::function<int()>& body);
// The two texts of that box.
QString DescribeException(std::exception_ptr error);

}  // namespace rg_com_ptl_xyh
