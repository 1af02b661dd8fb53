#include "shell/XyhWin.h"

#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "derive/ResultText.h"
#include "draws/DrawPanel.h"
#include "engine/Report.h"
#include "history/EasyDb.h"
#include "history/Plays.h"
#include "history/SavedCast.h"
#include "history/SavedCasts.h"
#include "history/YsModel.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Folders.h"
#include "platform/Utf.h"
#include "shell/HistoryTransferUi.h"
#include "shell/LoadWin.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/PlayWin.h"
#include "shell/panels/TrendWin.h"
#include "ui/Constants.h"
#include "ui/Ui.h"
#include "update/UpdateFiles.h"
#include "update/UpdateService.h"
#include "update/UpdateWin.h"

namespace rg_com_ptl_xyh {

namespace {
// The client height below the status bar; the width is fixed by design.
constexpr int kPanelHeight = 720;
}  // namespace

rg_XyhWin::rg_XyhWin(Options options)
    : options_(std::move(options)),
      clock_(options_.clock != nullptr ? *options_.clock : Clock::System()),
      store_(options_.store != nullptr ? *options_.store : rg_EasyDb::Process()),
      settings_(options_.home / "config.ini") {}

rg_XyhWin::~rg_XyhWin() {
  delete updateWin_.data();
  // The destroyed handler: the history goes with the window.
  store_.Close();
  rg_EasyDb::Shutdown();
}

void rg_XyhWin::Create() {
  hide();
  setWindowTitle(ProductName() + QLatin1Char(' ') + VersionSuffix());
  setWindowIcon(QIcon(ui::OwnPicture(QStringLiteral(":/images/icon-64.png"))));

  fontDescription_ = ui::MainFontDescription();
  font_ = ui::FontFromDescription(fontDescription_);
  charSize_ = ui::CharExtent(font_, QStringLiteral("数"));
  setFont(font_);

  panel_ = new rg_MainPanel(clock_, this);
  setCentralWidget(panel_);
  connect(panel_, &rg_MainPanel::statusText, this, &rg_XyhWin::ShowStatus);
  connect(panel_, &rg_MainPanel::openHandCast, this, &rg_XyhWin::OpenHandCast);
  connect(panel_, &rg_MainPanel::numbersReady, this, &rg_XyhWin::FillResult);
  connect(panel_, &rg_MainPanel::save, this, &rg_XyhWin::Save);
  connect(panel_, &rg_MainPanel::command, this, &rg_XyhWin::Command);
  connect(panel_, &rg_MainPanel::review, this, &rg_XyhWin::Review);
  connect(panel_, &rg_MainPanel::networkText, this, &rg_XyhWin::ShowNetworkStatus);
  prizeWatch_ = new rg_PrizeWatch(store_, clock_, this);
  connect(panel_, &rg_MainPanel::drawRead, prizeWatch_, &rg_PrizeWatch::DrawRead);
  connect(prizeWatch_, &rg_PrizeWatch::statusText, this, &rg_XyhWin::ShowStatus);
  connect(prizeWatch_, &rg_PrizeWatch::winnersChanged, this,
          [this](const QHash<std::int64_t, int>& winners) {
            panel_->HistoryPanel()->Model().SetPlayCounts(prizeWatch_->PlayCounts());
            panel_->HistoryPanel()->Model().SetWinners(winners);
          });
  connect(panel_, &rg_MainPanel::openPlay, this, &rg_XyhWin::OpenPlay);
  panel_->SetDrawSources(rg_DrawSources::FromSettings(settings_));
  panel_->Build(fontDescription_);

  status0_ = new QLabel(QStringLiteral("状态:"), this);
  status1_ = new QLabel(this);
  status0_->setTextFormat(Qt::PlainText);
  status1_->setTextFormat(Qt::PlainText);
  status0_->setFont(font_);
  status1_->setFont(font_);
  statusBar()->setFont(font_);
  statusBar()->setSizeGripEnabled(false);
  // The left part for casting and saving, the right one for the draw refresh, whose
  // longest message needs the wider part.
  statusBar()->addWidget(status0_, 2);
  statusBar()->addWidget(status1_, 3);
  if (!store_.Connected()) {
    ShowStatus(QStringLiteral("历史记录文件无法打开,保存与复盘不可用:") +
               QString::fromStdString(PathToUtf8(rg_EasyDb::FileIn(options_.home))));
  } else if (store_.Damaged()) {
    ShowStatus(ui::Q(StoreStatusText(rg_StoreStatus::Damaged)));
  }

  LayOut();
  panel_->BuildHistory();

  if (options_.splash) {
    rg_LoadWin splash(this);
    splash.exec();
  }
  show();

  updateTimer_.setSingleShot(true);
  connect(&updateTimer_, &QTimer::timeout, this, &rg_XyhWin::CheckForUpdate);
  if (UpdateCheckDue(settings_, clock_.Now())) updateTimer_.start(kUpdateDelayMs);
}

void rg_XyhWin::LayOut() {
  // The panel is laid out for a fixed client area; the window does not
  // stretch it.
  const int h = kPanelHeight;
  QWidget* draw = panel_->DrawPanel();
  rg_CastPanel* cast = panel_->CastPanel();
  rg_GuaPanel* gua = panel_->GuaPanel();
  QWidget* history = panel_->HistoryPanel();
  draw->move(10, 10);
  cast->move(10, draw->geometry().bottom() + 1 + 10);
  gua->move(0, cast->geometry().bottom() + 1 + 10);
  gua->SetHeight(h - gua->y());
  const int historyWidth = kWidth - gua->x() - gua->width() - 30;
  history->setGeometry(gua->geometry().right() + 1 + 10, 10, historyWidth, h - 20);
  panel_->setFixedSize(history->geometry().right() + 1 + 10, h);
  setFixedSize(kWidth, h + statusBar()->sizeHint().height());
}

void rg_XyhWin::ShowStatus(const QString& message) {
  status0_->setText(message);
  status0_->setToolTip(message);  // a long message cut by the part's width
}

void rg_XyhWin::ShowNetworkStatus(const QString& message) {
  status1_->setText(message);
  status1_->setToolTip(message);
}

QString rg_XyhWin::StoreFailure(const QString& what) const {
  const std::u16string why = StoreStatusText(store_.LastStatus());
  return why.empty() ? what : what + QLatin1Char(':') + ui::Q(why);
}

void rg_XyhWin::OpenHandCast() {
  rg_GuaWin dialog(this, font_, clock_, panel_->CastPanel()->Request());
  dialog.exec();
}

void rg_XyhWin::FillResult(rg_GuaAnalysis* analysis) {
  panel_->HistoryPanel()->ResultBox()->SetText(ui::Q(ResultTextFor(*analysis)));
}

void rg_XyhWin::Save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note) {
  if (store_.Save(MakeSaveRecord(analysis, ui::U(title), ui::U(note)))) {
    ShowStatus(QStringLiteral("保存成功"));
    FillHistory();
    panel_->HistoryPanel()->ClearEntry();
  } else {
    // What the user typed stays, so nothing is lost when saving fails.
    ShowStatus(StoreFailure(QStringLiteral("保存失败")));
  }
}

void rg_XyhWin::Command(int code) {
  if (code == rg_HistoryPanel::Delete) {
    DeleteTicked();
  } else if (code == rg_HistoryPanel::Help) {
    OpenHelp();
  } else if (code == rg_HistoryPanel::ExportHistory) {
    ExportHistoryWithDialog(this, store_);
  } else if (code == rg_HistoryPanel::ImportHistory) {
    if (ImportHistoryWithDialog(this, store_)) FillHistory();
  } else if (code == rg_HistoryPanel::Check) {
    OpenCheck();
  } else if (code == rg_HistoryPanel::Trend) {
    rg_TrendWin::Open(this, store_, font_);
  }
}

void rg_XyhWin::FillHistory() {
  rg_HistoryModel& model = panel_->HistoryPanel()->Model();
  model.SetNoteSource([this](std::int64_t id) { return store_.Note(id); });
  model.BeginFill();
  // A damaged file gives what it can before it fails; that much is shown.
  const rg_StoreStatus status = store_.VisitList(
      [&model](std::int64_t id, std::u16string_view name) { model.Append(id, name); });
  // A locked file gave nothing: what was shown stays rather than vanish.
  model.EndFill(status == rg_StoreStatus::Busy || status == rg_StoreStatus::Failed);
  if (status != rg_StoreStatus::Ok && status != rg_StoreStatus::NotConnected) {
    ShowStatus(QStringLiteral("历史记录读取不全:") + ui::Q(StoreStatusText(status)));
  }
  if (prizeWatch_ != nullptr) {
    model.SetWinners(prizeWatch_->Winners());
    prizeWatch_->Refresh();
  }
}

void rg_XyhWin::DeleteTicked() {
  if (ui::ShowMessage(this, QStringLiteral("确定需要删除当前所选择的历史数据吗?"),
                      QStringLiteral("询问:"), ui::MessageKind::Question) != ui::Answer::Yes) {
    return;
  }
  rg_HistoryModel& model = panel_->HistoryPanel()->Model();
  int i = 0;
  while (i < model.rowCount()) {
    if (!model.Checked(i)) {
      ++i;
    } else if (store_.Delete(model.Id(i))) {
      model.removeRow(i);
    } else {
      // The row is still stored, so its item stays in the list.
      ShowStatus(StoreFailure(QStringLiteral("删除失败")));
      ++i;
    }
  }
  panel_->HistoryPanel()->FollowList();
}

void rg_XyhWin::Review(qint64 id) {
  const rg_YsModel record = store_.Load(id);
  if (record._id != id) {
    // Gone is gone; a file that cannot be read now says why.
    if (store_.LastStatus() != rg_StoreStatus::Ok)
      ShowStatus(StoreFailure(QStringLiteral("复盘失败")));
    return;
  }
  panel_->CastPanel()->Restore(record._id, record.ysindex, record.gzsxid, record.ysday,
                               ui::Q(record.ysnumber), ui::Q(record.upstr), ui::Q(record.downstr),
                               record.rot,
                               std::vector<int>(record.dong.begin(), record.dong.end()));
}

QString rg_XyhWin::FindHelp() {
  const QDir exe(QString::fromStdString(PathToUtf8(ExecutableDirectory())));
  for (const QString& candidate :
       {exe.filePath(HelpFileName()),
        exe.filePath(QStringLiteral("../share/xyh/") + HelpFileName())}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return exe.filePath(HelpFileName());
}

void rg_XyhWin::OpenHelp() {
  const QString help = FindHelp();
  if (!QFileInfo(help).isFile()) {
    ui::ShowMessage(this, QStringLiteral("找不到帮助文件:") + QDir::toNativeSeparators(help),
                    QStringLiteral("信息:"), ui::MessageKind::Information);
    return;
  }
  if (!ui::OpenDocument(help)) {
    ui::ShowMessage(this, QStringLiteral("无法打开帮助文件:") + QDir::toNativeSeparators(help),
                    QStringLiteral("信息:"), ui::MessageKind::Information);
  }
}

rg_updateWin* rg_XyhWin::UpdateWindow() const { return updateWin_.data(); }

void rg_XyhWin::CheckForUpdate() {
  updateTimer_.stop();  // one check per run
  const std::u16string host = UpdateHost(settings_);
  // No update server configured: no request, nothing offered.
  if (host.empty()) return;
  const std::string caFile = UpdateCaFile(settings_);
  // Fetched off the window's thread, so a slow server never freezes it; a
  // check while one runs is dropped.
  updateCheck_.RunThenCallback(
      [host, caFile](const std::atomic<bool>& abort) { return FetchOffer(host, caFile, &abort); },
      [this](const std::optional<rg_UpdateOffer>& offer) {
        if (offer) ShowOffer(*offer);  // else silently: the next start checks again
      });
}

void rg_XyhWin::ShowOffer(const rg_UpdateOffer& offer) {
  const std::u16string name = InstallerName(offer);
  if (!FileInProgramDir(options_.home, name)) return;
  settings_.Write(kSysSection, kUpdateFileKey, name);
  delete updateWin_.data();
  updateWin_ = new rg_updateWin(font_, offer, options_.home, UpdateCaFile(settings_));
  connect(updateWin_, &rg_updateWin::installerStarted, this, &QWidget::close);
  updateWin_->show();
  settings_.Write(kSysSection, kUpdateDayKey, DayText(clock_.Now()));
}

// The program ends with its main window, an open offer included.
void rg_XyhWin::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted() && updateWin_) updateWin_->Dismiss();
}

void rg_XyhWin::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FirstActive();
}

// Shown counts as becoming active, so the history never waits on a window
// manager that does not activate the window.
void rg_XyhWin::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FirstActive();
}

void rg_XyhWin::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (panel_ != nullptr) panel_->move(0, 0);
}

void rg_XyhWin::FirstActive() {
  if (firstActiveDone_ || panel_ == nullptr) return;
  firstActiveDone_ = true;
  FillHistory();
}

rg_CheckWin* rg_XyhWin::CheckWindow() const { return checkWin_.data(); }

rg_PlayWin* rg_XyhWin::PlayWindow() const { return playWin_.data(); }

std::optional<std::int64_t> rg_XyhWin::ChosenCast(const QString& failure) {
  if (const std::int64_t id = panel_->HistoryPanel()->SelectedId(); id != 0) return id;
  if (panel_->HistoryPanel()->ResultBox()->Text().trimmed().isEmpty()) return std::nullopt;
  const rg_GuaAnalysis& analysis = panel_->GuaPanel()->Report().Analysis();
  const auto id = FindSavedCast(store_, MakeSaveRecord(analysis, u"", u""));
  if (!id && store_.LastStatus() != rg_StoreStatus::Ok &&
      store_.LastStatus() != rg_StoreStatus::NotConnected) {
    ShowStatus(StoreFailure(failure));
    return std::nullopt;
  }
  return id.value_or(0);
}

void rg_XyhWin::OpenCheck() {
  // The draws may have changed since the list was checked.
  prizeWatch_->Refresh();
  const rg_DrawIndex index(rg_DrawArchive(store_).DoubleColorDraws());
  // Checked against part of the draws a cast would wrongly look pending.
  if (store_.LastStatus() != rg_StoreStatus::Ok &&
      store_.LastStatus() != rg_StoreStatus::NotConnected) {
    ShowStatus(StoreFailure(QStringLiteral("对奖失败")));
    return;
  }
  QString subject;
  double castTime = 0;
  rg_CastResult result;
  std::vector<int> blues;
  const std::int64_t selected = panel_->HistoryPanel()->SelectedId();
  // The saved cast whose plays are listed (the result on screen once saved).
  std::int64_t castId = selected;
  if (selected != 0) {
    const rg_YsModel record = store_.Load(selected);
    if (record._id != selected) {
      ShowStatus(store_.LastStatus() != rg_StoreStatus::Ok
                     ? StoreFailure(QStringLiteral("对奖失败"))
                     : QStringLiteral("该记录已不存在"));
      return;
    }
    rg_SavedCastDeriver deriver;
    const auto numbers = deriver.Derive(record);
    result = CheckNumbers(numbers.value_or(DerivedNumbers{}), record.ysday,
                          IsDrawTimeCast(record.ysindex, record.rot), index);
    if (numbers) blues = PlayedNumbers(*numbers).blues;
    subject = ui::Q(record.ysname);
    castTime = record.ysday;
  } else {
    if (panel_->HistoryPanel()->ResultBox()->Text().trimmed().isEmpty()) {
      ShowStatus(QStringLiteral("没有可对奖的演算结果:请先演算,或在历史列表中选中一条记录"));
      return;
    }
    const rg_GuaAnalysis& analysis = panel_->GuaPanel()->Report().Analysis();
    const DerivedNumbers numbers = DeriveNumbers(analysis.profile);
    result = CheckNumbers(numbers, analysis.castTime,
                          IsDrawTimeCast(analysis.method, analysis.timeChoice), index);
    blues = PlayedNumbers(numbers).blues;
    subject = QStringLiteral("当前演算结果");
    castTime = analysis.castTime;
    castId = ChosenCast(QStringLiteral("对奖失败")).value_or(0);
  }
  if (castId != 0) {
    // Scored against the very draw the tickets met (ScorePlays takes it from result).
    std::vector<rg_PlayResult> plays;
    for (rg_StoredPlay& p : rg_PlayStore(store_).List(castId))
      plays.push_back({p.id, std::move(p.play), {}});
    if (store_.LastStatus() != rg_StoreStatus::Ok) {
      ShowStatus(StoreFailure(QStringLiteral("投注读取失败")));
      return;
    }
    ScorePlays(result, plays);
  }
  delete checkWin_.data();
  checkWin_ = new rg_CheckWin(this, font_, subject, castTime, result, blues);
  checkWin_->setAttribute(Qt::WA_DeleteOnClose);
  checkWin_->open();
}

void rg_XyhWin::OpenPlay() {
  const auto chosen = ChosenCast(QStringLiteral("投注失败"));
  if (!chosen) {
    if (panel_->HistoryPanel()->ResultBox()->Text().trimmed().isEmpty())
      ShowStatus(QStringLiteral("没有可投注的演算:请先演算并保存,或在历史列表中选中一条记录"));
    return;
  }
  if (*chosen == 0) {
    ShowStatus(QStringLiteral("请先保存演算"));
    return;
  }
  const std::int64_t id = *chosen;
  const rg_YsModel record = store_.Load(id);
  if (record._id != id) {
    ShowStatus(store_.LastStatus() != rg_StoreStatus::Ok ? StoreFailure(QStringLiteral("投注失败"))
                                                         : QStringLiteral("该记录已不存在"));
    return;
  }
  rg_SavedCastDeriver deriver;
  const DerivedNumbers numbers = deriver.Derive(record).value_or(DerivedNumbers{});
  delete playWin_.data();
  playWin_ = new rg_PlayWin(this, font_, ui::Q(record.ysname), numbers);
  playWin_->setAttribute(Qt::WA_DeleteOnClose);
  connect(playWin_, &rg_PlayWin::saveRequested, this, [this, id](const rg_Play& play) {
    std::int64_t playId = 0;
    switch (rg_PlayStore(store_).Add(id, play, &playId)) {
      case rg_PlayStore::AddResult::Added:
        playWin_->ShowMessage(QStringLiteral("已保存投注 #%1: %2 %3")
                                  .arg(playId)
                                  .arg(ui::Q(KindName(KindOf(play))), rg_PlayWin::CostText(play)),
                              false);
        ShowStatus(QStringLiteral("投注已保存"));
        prizeWatch_->Refresh();
        break;
      case rg_PlayStore::AddResult::Refused:
        playWin_->ShowMessage(ui::Q(PlayRefusal(play)), true);
        break;
      case rg_PlayStore::AddResult::NoCast:
        playWin_->ShowMessage(QStringLiteral("该记录已不存在"), true);
        break;
      case rg_PlayStore::AddResult::Failed:
        playWin_->ShowMessage(StoreFailure(QStringLiteral("投注保存失败")), true);
        break;
    }
  });
  playWin_->open();
}

}  // namespace rg_com_ptl_xyh
