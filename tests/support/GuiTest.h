#pragma once
// Shared set-up of the window tests: a QApplication on the offscreen
// platform, a home folder whose network settings point at loopback, a fixed
// clock, and message boxes answered by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>

#include "history/EasyDb.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Settings.h"
#include "shell/XyhWin.h"
#include "support/TempDir.h"
#include "ui/Ui.h"

namespace test_support {

using namespace rg_com_ptl_xyh;

// Handles events until condition holds or timeoutMs have passed; the
// condition's last value.
template <typename Condition>
bool WaitFor(Condition&& condition, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return condition();
    QTest::qWait(10);
  }
  return true;
}

// QTest's QTRY_* report a timeout to QTestLib, which this gtest runner
// never reads: the macro returns and the test passes. These wait the same
// way and fail the test.
#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_VERIFY
#undef QTRY_COMPARE_WITH_TIMEOUT
#undef QTRY_COMPARE
#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout) \
  ASSERT_TRUE(::test_support::WaitFor([&] { return static_cast<bool>(expr); }, (timeout))) << #expr
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout)                    \
  do {                                                                          \
    ::test_support::WaitFor([&] { return (actual) == (expected); }, (timeout)); \
    ASSERT_EQ(actual, expected);                                                \
  } while (false)
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)

// Every message box shown, with a scripted answer.
struct Messages {
  struct Shown {
    QString text;
    QString caption;
    ui::MessageKind kind;
  };
  QList<Shown> shown;
  ui::Answer answer = ui::Answer::Yes;

  Messages() {
    ui::SetMessageHook(
        [this](QWidget*, const QString& text, const QString& caption, ui::MessageKind kind) {
          shown.append({text, caption, kind});
          return kind == ui::MessageKind::Question ? answer : ui::Answer::Ok;
        });
  }
  ~Messages() { ui::SetMessageHook({}); }
  QString Last() const { return shown.isEmpty() ? QString() : shown.back().text; }
};

// Writes the network keys of a test home: nothing may reach outside hosts.
inline void PointNetworkAtLoopback(const std::filesystem::path& home) {
  rg_Settings settings(home / "config.ini");
  settings.Write(u"net", u"results_home", u"http://127.0.0.1:9/");
  settings.Write(u"net", u"kl8_history", u"http://127.0.0.1:9/kl8");
  settings.Write(u"net", u"probe_host", u"127.0.0.1");
  settings.Write(u"net", u"update_host", u"");
}

// A main window on a temporary home with its own store and a fixed clock.
// The window's options for a test: no splash, the given program directory,
// clock and store.
inline rg_XyhWin::Options TestWindowOptions(const std::filesystem::path& home, const Clock* clock,
                                            rg_EasyDb* store) {
  rg_XyhWin::Options options;
  options.home = home;
  options.clock = clock;
  options.store = store;
  options.splash = false;
  return options;
}

struct WindowFixture {
  TempDir home;
  FixedClock clock{MakeDate(2024, 6, 1, 8, 30, 0, 125), -480};
  rg_EasyDb store;
  std::unique_ptr<rg_XyhWin> window;

  explicit WindowFixture(bool create = true) {
    PointNetworkAtLoopback(home.path());
    store.Open(home.path());
    if (create) Create();
  }
  void Create() {
    window = std::make_unique<rg_XyhWin>(TestWindowOptions(home.path(), &clock, &store));
    window->Create();
  }
};

// Every document the window asked to open.
struct OpenedDocuments {
  QStringList paths;
  bool succeed = true;
  OpenedDocuments() {
    ui::SetOpenHook([this](const QString& path) {
      paths.append(path);
      return succeed;
    });
  }
  ~OpenedDocuments() { ui::SetOpenHook({}); }
};

}  // namespace test_support
