#include "shell/Startup.h"

#include <cstdio>

#include "platform/Folders.h"
#include "platform/Settings.h"
#include "shell/InstanceBell.h"
#include "shell/XyhWin.h"
#include "ui/Ui.h"
#include "update/UpdateFiles.h"

namespace rg_com_ptl_xyh {

bool rg_Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    // Qt cannot unwind through its event loop: leave it and rethrow outside.
    if (!pending_) pending_ = std::current_exception();
    exit(-1);
    return false;
  }
}

void rg_Application::RethrowPending() {
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

rg_startup_class::rg_startup_class(Options options) : options_(std::move(options)) {}

rg_startup_class::~rg_startup_class() = default;

bool rg_startup_class::Start() {
  const rg_Settings settings(options_.home / "config.ini");
  if (const std::string why = settings.Problem(); !why.empty()) {
    std::fprintf(stderr, "xyh: %s is not read (%s); the defaults are used\n",
                 PathToUtf8(settings.File()).c_str(), why.c_str());
  }
  RemoveLeftoverInstaller(settings, options_.home);

  const std::filesystem::path lockFile =
      options_.lockFile.empty() ? InstanceLockFile() : options_.lockFile;
  std::string reason;
  switch (lock_.Take(lockFile, &reason)) {
    case rg_InstanceLock::Outcome::Acquired: break;
    case rg_InstanceLock::Outcome::HeldElsewhere:
      // The copy that runs comes to the front; this one ends without a word.
      rg_InstanceBell::Ring(lockFile);
      exitCode_ = 0;
      return false;
    case rg_InstanceLock::Outcome::Failed:
      // Not another copy: a folder that cannot be written, a file left
      // behind by another user. Ending without a word would look like a
      // program that never starts.
      ui::ShowMessage(
          nullptr,
          QStringLiteral("星衍推号无法启动:单实例锁文件无法创建或锁定。\n文件:%1\n原因:%2")
              .arg(QString::fromStdString(PathToUtf8(lockFile)),
                   QString::fromLocal8Bit(reason.c_str())),
          QStringLiteral("信息:"), ui::MessageKind::Critical);
      exitCode_ = 1;
      return false;
  }

  rg_XyhWin::Options windowOptions;
  windowOptions.home = options_.home;
  windowOptions.splash = options_.splash;
  window_ = std::make_unique<rg_XyhWin>(windowOptions);
  window_->Create();

  bell_ = std::make_unique<rg_InstanceBell>();
  bell_->Listen(lockFile);  // without it a second start just ends
  rg_XyhWin* window = window_.get();
  QObject::connect(bell_.get(), &rg_InstanceBell::rung, window, [window] { BringForward(window); });
  return true;
}

QString DescribeException(std::exception_ptr error) {
  try {
    std::rethrow_exception(std::move(error));
  } catch (const rg_ProgramError& e) {
    return QStringLiteral("俘获到异常,代码值为: %1, 描述为: %2")
        .arg(e.code)
        .arg(QString::fromStdString(e.description));
  } catch (...) {
    return QStringLiteral("程序在运行时抛出了未被管理的异常");
  }
}

int RunGuarded(const std::function<int()>& body) {
  try {
    return body();
  } catch (...) {
    const QString text = DescribeException(std::current_exception());
    std::fprintf(stderr, "xyh: %s\n", text.toLocal8Bit().constData());
    ui::ShowMessage(nullptr, text, QStringLiteral("运行时异常"), ui::MessageKind::Critical);
    return -1;
  }
}

}  // namespace rg_com_ptl_xyh
