#pragma once
// The main window: the main panel, the status bar, the splash, the
// hand-cast dialog and the update-check timer.
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Settings.h"
#include "ui/AsyncTask.h"

class QLabel;

namespace rg_com_ptl_xyh {

class Clock;
class rg_EasyDb;
class rg_MainPanel;
class rg_CheckWin;
class rg_PlayWin;
class rg_PrizeWatch;
class rg_updateWin;
struct rg_GuaAnalysis;
struct rg_UpdateOffer;

class rg_XyhWin : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kUpdateDelayMs = 5000;

  struct Options {
    std::filesystem::path home;    // the program directory
    const Clock* clock = nullptr;  // the system clock when null
    rg_EasyDb* store = nullptr;    // the process's store when null
    bool splash = true;
  };

  explicit rg_XyhWin(Options options);
  ~rg_XyhWin() override;

  // The created handler: builds, lays out, shows the splash, then itself.
  void Create();

  rg_MainPanel* MainPanel() const { return panel_; }
  QLabel* StatusPart(int part) const { return part == 0 ? status0_ : status1_; }
  QTimer& UpdateTimer() { return updateTimer_; }
  // The update window while one is open.
  rg_updateWin* UpdateWindow() const;
  bool UpdateCheckRunning() const { return updateCheck_.Running(); }
  rg_Settings& Settings() { return settings_; }
  const QFont& MainFont() const { return font_; }
  QSize CharSize() const { return charSize_; }
  // Where the help is looked for: beside the executable, then in the
  // installed share/xyh folder.
  static QString FindHelp();
  rg_PrizeWatch* PrizeWatch() const { return prizeWatch_; }
  // The 对奖 dialog while one is open.
  rg_CheckWin* CheckWindow() const;
  // The 投注 dialog while one is open.
  rg_PlayWin* PlayWindow() const;

 public slots:
  void ShowStatus(const QString& message);
  void ShowNetworkStatus(const QString& message);
  void OpenHandCast();
  void FillResult(rg_GuaAnalysis* analysis);
  void Save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note);
  void Command(int code);
  void Review(qint64 id);
  void FillHistory();
  void DeleteTicked();
  void OpenHelp();
  // 对奖 for the highlighted history item, else for the current result.
  void OpenCheck();
  // 投注 for the highlighted history item, else for the current result once saved.
  void OpenPlay();
  void CheckForUpdate();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FirstActive();
  void LayOut();
  // A newer build the update server offers: remembered, and shown.
  void ShowOffer(const rg_UpdateOffer& offer);
  // "保存失败" and the like, followed by why the store failed.
  QString StoreFailure(const QString& what) const;
  // The saved cast 对奖 and 投注 act on: the highlighted history item, else
  // the saved row of the result on screen. nullopt with the reason in the
  // status bar; 0 for a result on screen that is not saved.
  std::optional<std::int64_t> ChosenCast(const QString& failure);

  Options options_;
  const Clock& clock_;
  rg_EasyDb& store_;
  rg_Settings settings_;
  rg_MainPanel* panel_ = nullptr;
  QLabel* status0_ = nullptr;
  QLabel* status1_ = nullptr;
  QString fontDescription_;
  QFont font_;
  QSize charSize_;
  QTimer updateTimer_;
  QPointer<rg_updateWin> updateWin_;
  ui::AsyncTask updateCheck_{this};
  bool firstActiveDone_ = false;
  rg_PrizeWatch* prizeWatch_ = nullptr;
  QPointer<rg_CheckWin> checkWin_;
  QPointer<rg_PlayWin> playWin_;
};

}  // namespace rg_com_ptl_xyh
