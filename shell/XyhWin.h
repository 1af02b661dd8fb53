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
#include <vector>

#include "platform/Result.h"
#include "platform/Settings.h"
#include "shell/panels/HistoryPanel.h"
#include "ui/AsyncTask.h"

class QLabel;
class QScrollArea;

namespace rg_com_ptl_xyh {

class Clock;
class rg_EasyDb;
class rg_MainPanel;
class rg_CheckWin;
class rg_DrawEntryWin;
class rg_PlayWin;
class rg_LedgerWin;
class rg_WinNotice;
class rg_PrizeWatch;
class rg_updateWin;
struct rg_GuaAnalysis;
struct rg_Play;
struct rg_YsModel;
struct rg_UpdateOffer;

class rg_XyhWin : public QMainWindow {
  Q_OBJECT
 public:
  // The design size of the content below the title: the window's default,
  // and the size below which the content scrolls rather than shrinks.
  static constexpr int kWidth = 1024;
  static constexpr int kPanelHeight = 720;
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
  // The ticked casts' delete, from the question until the list shows its outcome.
  bool DeleteRunning() const { return deleteTask_->Running(); }
  rg_Settings& Settings() { return settings_; }
  const QFont& MainFont() const { return font_; }
  QSize CharSize() const { return charSize_; }
  // Where the help is looked for: beside the executable, then in the
  // installed share/xyh folder.
  static QString FindHelp();
  rg_PrizeWatch* PrizeWatch() const { return prizeWatch_; }
  // The 对奖 dialog while one is open.
  rg_CheckWin* CheckWindow() const;
  // The 录入开奖 dialog while one is open.
  rg_DrawEntryWin* DrawEntryWindow() const;
  // The 投注 dialog while one is open.
  rg_PlayWin* PlayWindow() const;
  // The 账本 window while one is open.
  rg_LedgerWin* LedgerWindow() const;
  // Word of a win on the desktop.
  rg_WinNotice* WinNotice() const { return winNotice_; }
  // [sys] budget of config.ini, when it holds one (a value that is no
  // budget is said in the status bar).
  std::optional<std::int64_t> Budget();

 public slots:
  void ShowStatus(const QString& message);
  void ShowNetworkStatus(const QString& message);
  void OpenHandCast();
  void FillResult(rg_GuaAnalysis* analysis);
  void Save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note);
  void Command(rg_HistoryPanel::Button code);
  void Review(qint64 id);
  void FillHistory();
  void DeleteTicked();
  void OpenHelp();
  // 对奖 for the highlighted history item, else for the result on screen:
  // the saved cast it was reviewed from or saved as, or the new cast.
  void OpenCheck();
  // 录入开奖 over `over` (the window asking): issue and date to start with.
  void OpenDrawEntry(const QString& issue, double date, QWidget* over = nullptr);
  // 录入开奖 with the archive's own suggestion (its oldest hole, else the
  // issue after the newest).
  void EnterDraw();
  // 导入开奖…: a CSV draw file the user picks, as xyh-cli draws import.
  void ImportDraws();
  // The import itself; what to tell the user, and whether it failed.
  QString ImportDrawFile(const QString& path, bool* failed = nullptr);
  // 修改 and 删除 of a stored 双色球 draw (the trend window's row menu):
  // the correction in the 录入开奖 dialog, the deletion after asking; the
  // casts and plays depending on it are decided again at once.
  void CorrectDraw(const QString& issue);
  void DeleteDraw(const QString& issue);
  // Draws were added or imported: the 对奖 dialog, the trend window, the
  // history marks and the announcement follow at once.
  void DrawsChanged();
  // The stored draws changed (also by a refresh): the open views follow.
  void FollowDraws();
  // 投注 for the highlighted history item, else for the current result once saved.
  void OpenPlay();
  // 账本 beside 走势; it follows new plays, draws and prize amounts.
  void OpenLedger();
  void FollowLedger();
  void CheckForUpdate();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FirstActive();
  // The outcome of deleting these casts: their items go, or the list stays
  // whole and the failure is said.
  void Deleted(const std::vector<std::int64_t>& ids, const Result<std::int64_t>& outcome);
  void LayOut();
  // A newer build the update server offers: remembered, and shown.
  void ShowOffer(const rg_UpdateOffer& offer);
  // "保存失败" and the like, followed by why the store failed.
  QString StoreFailure(const QString& what) const;
  // The saved cast 对奖 and 投注 act on: the highlighted history item, else
  // the saved row of the result on screen. nullopt with the reason in the
  // status bar; 0 for a result on screen that is not saved.
  std::optional<std::int64_t> ChosenCast(const QString& failure);
  // Whether the row can be read now: one that cannot counts as gone.
  bool Stored(std::int64_t id);

  Options options_;
  const Clock& clock_;
  rg_EasyDb& store_;
  rg_Settings settings_;
  rg_MainPanel* panel_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  bool laidOut_ = false;  // the panels are built: a resize lays them out again
  int castTop_ = -1;      // where the first layout put the casting row
  QLabel* status0_ = nullptr;
  QLabel* status1_ = nullptr;
  QString fontDescription_;
  QFont font_;
  QSize charSize_;
  QTimer updateTimer_;
  QPointer<rg_updateWin> updateWin_;
  ui::AsyncTask updateCheck_{this};
  // Emplaced with the window and reset before SQLite is shut down, which
  // must wait for a delete still running on the task's connection.
  std::optional<ui::AsyncTask> deleteTask_;
  bool firstActiveDone_ = false;
  rg_PrizeWatch* prizeWatch_ = nullptr;
  QPointer<rg_CheckWin> checkWin_;
  QPointer<rg_DrawEntryWin> entryWin_;
  // The saved cast whose result is on screen (reviewed, or just saved);
  // 0 for a cast not saved.
  std::int64_t shownCastId_ = 0;
  QPointer<rg_PlayWin> playWin_;
  rg_WinNotice* winNotice_ = nullptr;
  // Asks before a play takes its month over the budget; true to save.
  bool BudgetAllows(const rg_YsModel& cast, const rg_Play& play);
};

}  // namespace rg_com_ptl_xyh
