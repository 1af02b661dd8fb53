#include "shell/XyhWin.h"

#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>

#include "derive/ResultText.h"
#include "draws/DrawPanel.h"
#include "engine/Report.h"
#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "history/Ledger.h"
#include "history/Plays.h"
#include "history/SavedCast.h"
#include "history/SavedCastCheck.h"
#include "history/SavedCasts.h"
#include "history/YsModel.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Folders.h"
#include "platform/Utf.h"
#include "platform/WindowSize.h"
#include "shell/HistoryTransferUi.h"
#include "shell/LoadWin.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/WinNotice.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/DrawEntryWin.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/LedgerWin.h"
#include "shell/panels/PlayWin.h"
#include "shell/panels/TrendWin.h"
#include "ui/Constants.h"
#include "ui/ScreenFit.h"
#include "ui/Ui.h"
#include "update/UpdateFiles.h"
#include "update/UpdateService.h"
#include "update/UpdateWin.h"

namespace rg_com_ptl_xyh {

rg_XyhWin::rg_XyhWin(Options options)
    : options_(std::move(options)),
      clock_(options_.clock != nullptr ? *options_.clock : Clock::System()),
      store_(options_.store != nullptr ? *options_.store : rg_EasyDb::Process()),
      settings_(options_.home / "config.ini") {
  deleteTask_.emplace(this);
}

rg_XyhWin::~rg_XyhWin() {
  delete updateWin_.data();
  deleteTask_.reset();
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
  // Below the design size the content scrolls; above it the panel grows
  // with the window.
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(panel_);
  panel_->setMinimumSize(kWidth, kPanelHeight);
  panel_->installEventFilter(this);
  setCentralWidget(scroll_);
  connect(panel_, &rg_MainPanel::statusText, this, &rg_XyhWin::ShowStatus);
  connect(panel_, &rg_MainPanel::openHandCast, this, &rg_XyhWin::OpenHandCast);
  connect(panel_, &rg_MainPanel::numbersReady, this, &rg_XyhWin::FillResult);
  connect(panel_, &rg_MainPanel::save, this, &rg_XyhWin::Save);
  connect(panel_, &rg_MainPanel::command, this, &rg_XyhWin::Command);
  connect(panel_, &rg_MainPanel::review, this, &rg_XyhWin::Review);
  connect(panel_, &rg_MainPanel::networkText, this, &rg_XyhWin::ShowNetworkStatus);
  prizeWatch_ = new rg_PrizeWatch(store_, clock_, this);
  connect(panel_, &rg_MainPanel::drawRead, prizeWatch_, &rg_PrizeWatch::DrawRead);
  // After the watch has stored it: an open 对奖 dialog or trend window shows it too.
  connect(panel_, &rg_MainPanel::drawRead, this, &rg_XyhWin::FollowDraws);
  connect(prizeWatch_, &rg_PrizeWatch::statusText, this, &rg_XyhWin::ShowStatus);
  winNotice_ = new rg_WinNotice(store_, settings_, clock_, MakeSystemNotifier(this), this);
  connect(prizeWatch_, &rg_PrizeWatch::newWinners, this,
          [this](const std::vector<rg_CastTier>& wins) {
            winNotice_->Announce(wins, prizeWatch_->Index());
          });
  connect(winNotice_, &rg_WinNotice::notShown, this, [this](const QString& lines) {
    status0_->setToolTip(status0_->text() + QLatin1Char('\n') + lines);
  });
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
  } else if (const rg_FileProblem problem = settings_.ProblemKind();
             problem != rg_FileProblem::None) {
    const QString why = problem == rg_FileProblem::Folder    ? QStringLiteral("它是文件夹")
                        : problem == rg_FileProblem::Special ? QStringLiteral("它不是普通文件")
                        : problem == rg_FileProblem::TooLarge ? QStringLiteral("超过 64 KiB")
                                                              : QStringLiteral("无法读取");
    ShowStatus(QStringLiteral("config.ini 未读取(%1),使用默认设置").arg(why));
  }

  LayOut();
  laidOut_ = true;
  panel_->BuildHistory();
  // Until a refresh reads the latest draw, the newest one stored stands in.
  if (const auto newest = rg_DrawArchive(store_).Newest(LotteryCode::DoubleColor);
      newest && *newest)
    panel_->ShowStoredDraw(**newest);

  // F1 anywhere in the window, as in every other program.
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  help->setContext(Qt::WindowShortcut);
  connect(help, &QShortcut::activated, this, &rg_XyhWin::OpenHelp);

  // The size the user left the window at, when config.ini holds a sound one.
  const auto size = ParseWindowSize(settings_.Read(kSysSection, kWindowSizeKey));
  const QSize kept = size ? QSize(size->width, size->height)
                          : QSize(kWidth, kPanelHeight + statusBar()->sizeHint().height());
  ui::OpenWithinScreen(this, kept);
  // A size kept from a larger screen (or written by hand) opens filling
  // this screen instead, which the window manager fits to its frame.
  if (size && (width() < kept.width() || height() < kept.height()))
    setWindowState(windowState() | Qt::WindowMaximized);

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
  // The design layout, plus what the window has beyond the design size:
  // the reading takes the extra height, the history panel the extra width
  // and height; the strip, the casting row and the grid keep their size.
  const int h = std::max(kPanelHeight, panel_->height());
  const int extraWidth = std::max(0, panel_->width() - kWidth);
  QWidget* draw = panel_->DrawPanel();
  rg_CastPanel* cast = panel_->CastPanel();
  rg_GuaPanel* gua = panel_->GuaPanel();
  QWidget* history = panel_->HistoryPanel();
  draw->move(10, 10);
  // The casting row stays where the first layout put it: the strip changes
  // its height when the first draw arrives, and a resize must not make the
  // row and the grid jump.
  if (castTop_ < 0) castTop_ = draw->geometry().bottom() + 1 + 10;
  cast->move(10, castTop_);
  gua->move(0, cast->geometry().bottom() + 1 + 10);
  gua->SetHeight(h - gua->y());
  const int historyWidth = kWidth - gua->x() - gua->width() - 30 + extraWidth;
  history->setGeometry(gua->geometry().right() + 1 + 10, 10, historyWidth, h - 20);
}

bool rg_XyhWin::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel_ && event->type() == QEvent::Resize && laidOut_) LayOut();
  return QMainWindow::eventFilter(watched, event);
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
  ui::OpenWithinScreen(&dialog, dialog.size());
  dialog.exec();
}

void rg_XyhWin::FillResult(rg_GuaAnalysis* analysis) {
  panel_->HistoryPanel()->ResultBox()->SetText(ui::Q(ResultTextFor(*analysis)));
  // A review restores the saved cast's id into the request; a new cast has
  // none. A reviewed cast cast again with another sign is no longer it.
  shownCastId_ = panel_->CastPanel()->Request().id;
  if (shownCastId_ != 0) {
    const auto saved = store_.Load(shownCastId_);
    if (!saved || !*saved || (*saved)->ysindex != NumberOf(analysis->method) ||
        (*saved)->gzsxid != analysis->zodiac || (*saved)->ysnumber != analysis->numberText) {
      shownCastId_ = 0;
    }
  }
  panel_->HistoryPanel()->ClearHighlight();
}

void rg_XyhWin::Save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note) {
  const rg_YsModel record = MakeSaveRecord(analysis, ui::U(title), ui::U(note));
  // Never store what a review would call damaged (a clock set beyond 2100).
  if (const auto fault = CheckSaveRecord(record)) {
    ShowStatus(QStringLiteral("保存失败:") +
               QString::fromStdString(fault->field + " " + fault->why));
    return;
  }
  if (store_.Save(record)) {
    ShowStatus(QStringLiteral("保存成功"));
    FillHistory();
    // The list is newest first, so the row just saved leads it: the result
    // on screen is now that saved cast.
    if (panel_->HistoryPanel()->Model().rowCount() > 0)
      shownCastId_ = panel_->HistoryPanel()->Model().Id(0);
    panel_->HistoryPanel()->ClearEntry();
  } else {
    // What the user typed stays, so nothing is lost when saving fails.
    ShowStatus(StoreFailure(QStringLiteral("保存失败")));
  }
}

void rg_XyhWin::Command(rg_HistoryPanel::Button code) {
  switch (code) {
    using enum rg_HistoryPanel::Button;
    case Delete: DeleteTicked(); return;
    case Help: OpenHelp(); return;
    case ExportHistory: ExportHistoryWithDialog(this, store_); return;
    case ImportHistory:
      if (ImportHistoryWithDialog(this, store_)) FillHistory();
      return;
    case Check: OpenCheck(); return;
    case Trend: {
      rg_TrendWin* trend = rg_TrendWin::Open(this, store_, font_);
      connect(trend, &rg_TrendWin::enterDraw, this, &rg_XyhWin::EnterDraw, Qt::UniqueConnection);
      connect(trend, &rg_TrendWin::importDraws, this, &rg_XyhWin::ImportDraws,
              Qt::UniqueConnection);
      connect(trend, &rg_TrendWin::correctDraw, this, &rg_XyhWin::CorrectDraw,
              Qt::UniqueConnection);
      connect(trend, &rg_TrendWin::deleteDraw, this, &rg_XyhWin::DeleteDraw, Qt::UniqueConnection);
      return;
    }
    case EnterDraw: this->EnterDraw(); return;
    case Ledger: OpenLedger(); return;
    case Save:
    case Qr: return;  // the panels' own
  }
}

rg_DrawEntryWin* rg_XyhWin::DrawEntryWindow() const { return entryWin_.data(); }

void rg_XyhWin::EnterDraw() {
  const rg_DrawIndex index(rg_DrawArchive(store_).DoubleColorDraws());
  const rg_DrawSuggestion next = SuggestDrawToAdd(index, clock_.Now());
  OpenDrawEntry(ui::Q(next.issue), next.date, qobject_cast<QWidget*>(sender()));
}

void rg_XyhWin::OpenDrawEntry(const QString& issue, double date, QWidget* over) {
  delete entryWin_.data();
  entryWin_ = new rg_DrawEntryWin(over != nullptr ? over->window() : this, font_, store_, clock_,
                                  issue, date);
  entryWin_->setAttribute(Qt::WA_DeleteOnClose);
  connect(entryWin_, &rg_DrawEntryWin::drawsAdded, this, &rg_XyhWin::DrawsChanged);
  // An amount changes what the 对奖 dialog and the 账本 say, and what a win
  // not yet told of is worth.
  connect(entryWin_, &rg_DrawEntryWin::prizesStored, this, &rg_XyhWin::DrawsChanged);
  ui::OpenWithinScreen(entryWin_);
  entryWin_->open();
}

void rg_XyhWin::ImportDraws() {
  QWidget* over = qobject_cast<QWidget*>(sender());
  over = over != nullptr ? over->window() : this;
  const QString path =
      QFileDialog::getOpenFileName(over, QStringLiteral("导入开奖"), QString(),
                                   QStringLiteral("开奖文件 (*.csv);;所有文件 (*)"));
  if (path.isEmpty()) return;
  bool failed = false;
  const QString said = ImportDrawFile(path, &failed);
  // A refusal is an error, not a piece of information.
  ui::ShowMessage(over, said, failed ? QStringLiteral("错误:") : QStringLiteral("信息:"),
                  failed ? ui::MessageKind::Critical : ui::MessageKind::Information);
}

QString rg_XyhWin::ImportDrawFile(const QString& path, bool* failed) {
  const auto fail = [failed](const QString& text) {
    if (failed != nullptr) *failed = true;
    return text;
  };
  if (failed != nullptr) *failed = false;
  // As the command line: a draw file is small, anything huge is no draw file.
  constexpr qint64 kMaxBytes = 16 << 20;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return fail(QStringLiteral("无法读取文件:") + QDir::toNativeSeparators(path));
  if (file.size() > kMaxBytes)
    return fail(QStringLiteral("文件大于 16 MiB,不是开奖文件:") + QDir::toNativeSeparators(path));
  const QByteArray csv = file.read(kMaxBytes + 1);
  if (file.error() != QFileDevice::NoError)
    return fail(QStringLiteral("无法读取文件:") + QDir::toNativeSeparators(path));
  // A device or a pipe tells no size beforehand.
  if (csv.size() > kMaxBytes)
    return fail(QStringLiteral("文件大于 16 MiB,不是开奖文件:") + QDir::toNativeSeparators(path));
  rg_DrawArchive archive(store_, DrawWording::Chinese);
  const auto result = archive.Import(LotteryCode::DoubleColor, csv.toStdString(), clock_.Now());
  if (!result) {
    const std::u16string why = StoreStatusText(result.error().status);
    // A damaged archive is named by its row; a locked file by the store.
    return fail(QStringLiteral("导入失败,未导入任何开奖数据:") +
                (!result.error().refused && archive.BadRow().empty() && !why.empty()
                     ? ui::Q(why)
                     : QString::fromStdString(result.error().message)));
  }
  if (result->added > 0) DrawsChanged();
  QString said = QStringLiteral("已导入%1期开奖数据").arg(result->added);
  if (result->skipped > 0) said += QStringLiteral(",%1期已收录,跳过").arg(result->skipped);
  return said;
}

void rg_XyhWin::CorrectDraw(const QString& issue) {
  QWidget* over = qobject_cast<QWidget*>(sender());
  over = over != nullptr ? over->window() : this;
  const rg_DrawArchive archive(store_, DrawWording::Chinese);
  const auto found = archive.Find(LotteryCode::DoubleColor, ui::U(issue));
  if (!found || !*found) {
    ui::ShowMessage(
        over,
        !found ? QStringLiteral("第%1期开奖数据无法读取:").arg(issue) +
                     (archive.BadRow().empty() ? ui::Q(StoreStatusText(found.error().status))
                                               : QString::fromStdString(archive.BadRow()))
               : QStringLiteral("第%1期开奖数据已不存在").arg(issue),
        QStringLiteral("错误:"), ui::MessageKind::Critical);
    return;
  }
  OpenDrawEntry(issue, (*found)->date, over);
  entryWin_->Correct(**found);
}

void rg_XyhWin::DeleteDraw(const QString& issue) {
  QWidget* over = qobject_cast<QWidget*>(sender());
  over = over != nullptr ? over->window() : this;
  rg_DrawArchive archive(store_, DrawWording::Chinese);
  const auto found = archive.Find(LotteryCode::DoubleColor, ui::U(issue));
  QString shown = QStringLiteral("第%1期").arg(issue);
  if (found && *found) {
    shown += QStringLiteral("(%1 %2 + %3)")
                 .arg(ui::Q(DrawDateText((*found)->date)),
                      QString::fromStdString(NumbersText((*found)->numbers)),
                      QString::fromStdString(NumbersText((*found)->extra)));
  }
  if (ui::ShowMessage(over,
                      QStringLiteral("确定删除%1开奖数据吗?\n"
                                     "按这一期对奖的演算和投注将成为开奖数据缺失,直到重新录入。")
                          .arg(shown),
                      QStringLiteral("询问:"), ui::MessageKind::Question) != ui::Answer::Yes) {
    return;
  }
  const auto deleted = archive.Delete(LotteryCode::DoubleColor, ui::U(issue));
  if (!deleted) {
    const std::u16string why = StoreStatusText(deleted.error().status);
    ui::ShowMessage(
        over,
        QStringLiteral("删除失败:") + (deleted.error().notFound || why.empty()
                                           ? QString::fromStdString(deleted.error().message)
                                           : ui::Q(why)),
        QStringLiteral("错误:"), ui::MessageKind::Critical);
    return;
  }
  ShowStatus(QStringLiteral("已删除第%1期开奖数据").arg(issue));
  DrawsChanged();
}

void rg_XyhWin::DrawsChanged() {
  FollowDraws();
  prizeWatch_->DrawsAdded();
}

void rg_XyhWin::FollowDraws() {
  rg_DrawArchive archive(store_);
  if (panel_->StoredDrawShown()) {
    if (const auto newest = archive.Newest(LotteryCode::DoubleColor); newest && *newest)
      panel_->ShowStoredDraw(**newest);
  }
  FollowLedger();
  auto* trend = findChild<rg_TrendWin*>(QString(), Qt::FindDirectChildrenOnly);
  // The whole archive is read only for a view that shows it.
  if (!checkWin_ && trend == nullptr) return;
  std::vector<rg_DrawEntry> draws = archive.DoubleColorDraws();
  // Part of the draws would show casts wrongly pending: the views stay.
  if (!archive.BadRow().empty()) return;
  const rg_DrawIndex index(draws);
  if (checkWin_) {
    if (const auto amounts = rg_DrawPrizes(store_).All(LotteryCode::DoubleColor))
      checkWin_->SetPrizeAmounts(*amounts);
    checkWin_->DrawsChanged(index, clock_.Now());
  }
  if (trend != nullptr) trend->SetDraws(std::move(draws));
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
  rg_HistoryPanel* history = panel_->HistoryPanel();
  if (!history->Model().AnyChecked()) return;  // nothing to ask about
  if (deleteTask_->Running()) return;          // its button is grey until it ends
  std::vector<std::int64_t> ids = history->Model().CheckedIds();
  QString question = QStringLiteral("确定需要删除当前所选择的历史数据吗?");
  // Plays cannot outlive their cast, so the question says they go too.
  if (const auto plays = rg_PlayStore(store_).CountFor(ids); !plays) {
    question += QStringLiteral("\n所选记录的投注也将一并删除。");
  } else if (*plays > 0) {
    question += QStringLiteral("\n所选记录的%1个投注也将一并删除。").arg(*plays);
  }
  if (ui::ShowMessage(this, question, QStringLiteral("询问:"), ui::MessageKind::Question) !=
      ui::Answer::Yes) {
    return;
  }
  // A file that cannot be written now is said at once, before anything starts.
  if (store_.Ready(true) != rg_StoreStatus::Ok) {
    ShowStatus(StoreFailure(QStringLiteral("删除失败")));
    return;
  }
  // One transaction on a connection of the task's own: thousands of casts
  // go in a fraction of a second while the window goes on answering, and
  // the command line waits for one short lock instead of one per cast.
  const std::filesystem::path file = store_.Path();
  history->SetDeleting(true);
  ShowStatus(QStringLiteral("正在删除%1条历史记录…").arg(ids.size()));
  deleteTask_->RunThenCallback(
      [file, ids](const std::atomic<bool>&) -> Result<std::int64_t> {
        rg_EasyDb own;
        if (auto opened = own.OpenChecked(file); !opened) return tl::unexpected(opened.error());
        return own.DeleteMany(ids);
      },
      [this, ids](const Result<std::int64_t>& outcome) { Deleted(ids, outcome); });
}

void rg_XyhWin::Deleted(const std::vector<std::int64_t>& ids, const Result<std::int64_t>& outcome) {
  rg_HistoryPanel* history = panel_->HistoryPanel();
  history->SetDeleting(false);
  if (!outcome) {
    // Rolled back: every item stays, as every row did.
    const std::u16string why = StoreStatusText(outcome.error().status);
    const QString text = QStringLiteral("删除失败,未删除任何记录") +
                         (why.empty() ? QString() : QLatin1Char(':') + ui::Q(why));
    ShowStatus(text);
    ui::ShowMessage(this, text, QStringLiteral("信息:"), ui::MessageKind::Critical);
    return;
  }
  history->Model().RemoveIds(ids);
  history->FollowList();
  ShowStatus(QStringLiteral("已删除%1条历史记录").arg(ids.size()));
}

void rg_XyhWin::Review(qint64 id) {
  const auto loaded = store_.Load(id);
  // Gone is gone; a file that cannot be read now says why.
  if (!loaded) ShowStatus(StoreFailure(QStringLiteral("复盘失败")));
  if (!loaded || !*loaded) return;
  const rg_YsModel& record = **loaded;
  // A row the program could never have saved would cast garbage over the
  // panels: they stay as they are.
  const std::optional<rg_QiGuaModel> cast = RequestOfRecord(record);
  if (!cast) {
    ShowStatus(ui::Q(std::u16string(kDamagedCastText)));
    return;
  }
  panel_->CastPanel()->Restore(*cast);
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
  // The file is there: what failed is the program that shows it.
  if (!ui::OpenDocument(help)) {
    ui::ShowMessage(this,
                    QStringLiteral("无法打开帮助:系统没有可用的浏览器\n帮助文件:") +
                        QDir::toNativeSeparators(help),
                    QStringLiteral("信息:"), ui::MessageKind::Critical);
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
  // The next start opens at the size the user left; a maximised window
  // keeps the size it had before.
  if (event->isAccepted()) {
    const QSize size = isMaximized() || isFullScreen() ? normalGeometry().size() : this->size();
    const rg_WindowSize kept{size.width(), size.height()};
    const std::u16string text = WindowSizeText(kept);
    if (ParseWindowSize(text) && settings_.Read(kSysSection, kWindowSizeKey) != text)
      settings_.Write(kSysSection, kWindowSizeKey, text);
  }
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

bool rg_XyhWin::Stored(std::int64_t id) {
  const auto loaded = store_.Load(id);
  return loaded && loaded->has_value();
}

std::optional<std::int64_t> rg_XyhWin::ChosenCast(const QString& failure) {
  if (const std::int64_t id = panel_->HistoryPanel()->SelectedId(); id != 0) return id;
  if (panel_->HistoryPanel()->ResultBox()->Text().trimmed().isEmpty()) return std::nullopt;
  // The result on screen was reviewed from, or saved as, this cast.
  if (shownCastId_ != 0 && Stored(shownCastId_)) return shownCastId_;
  const rg_GuaAnalysis& analysis = panel_->GuaPanel()->Report().Analysis();
  const auto found = FindSavedCast(store_, MakeSaveRecord(analysis, u"", u""));
  if (!found && found.error().status != rg_StoreStatus::Ok &&
      found.error().status != rg_StoreStatus::NotConnected) {
    ShowStatus(StoreFailure(failure));
    return std::nullopt;
  }
  return found ? found->value_or(0) : 0;
}

void rg_XyhWin::OpenCheck() {
  // The draws may have changed since the list was checked.
  prizeWatch_->Refresh();
  const rg_DrawArchive archive(store_, DrawWording::Chinese);
  const rg_DrawIndex index(archive.DoubleColorDraws());
  // Checked against part of the draws a cast would wrongly look pending.
  if (!archive.BadRow().empty()) {
    ShowStatus(QStringLiteral("对奖失败:开奖记录已损坏:") +
               QString::fromStdString(archive.BadRow()));
    return;
  }
  if (store_.LastStatus() != rg_StoreStatus::Ok &&
      store_.LastStatus() != rg_StoreStatus::NotConnected) {
    ShowStatus(StoreFailure(QStringLiteral("对奖失败")));
    return;
  }
  QString subject;
  double castTime = 0;
  rg_CastResult result;
  std::vector<int> blues;
  rg_CheckWin::Source source;
  std::int64_t id = panel_->HistoryPanel()->SelectedId();
  // The result on screen is a saved cast still stored: checked under its name.
  if (id == 0 && shownCastId_ != 0 &&
      !panel_->HistoryPanel()->ResultBox()->Text().trimmed().isEmpty() && Stored(shownCastId_)) {
    id = shownCastId_;
  }
  // The saved cast whose plays are listed (the result on screen once saved).
  std::int64_t castId = id;
  if (id != 0) {
    const auto loaded = store_.Load(id);
    if (!loaded || !*loaded) {
      ShowStatus(!loaded ? StoreFailure(QStringLiteral("对奖失败"))
                         : QStringLiteral("该记录已不存在"));
      return;
    }
    const rg_YsModel& record = **loaded;
    if (!record.damage.empty()) {
      ShowStatus(ui::Q(std::u16string(kDamagedCastText)));
      return;
    }
    rg_SavedCastDeriver deriver;
    const auto numbers = deriver.Derive(record);
    source = [numbers = numbers.value_or(DerivedNumbers{}), time = record.ysday,
              drawTime = IsDrawTimeCast(record)](const rg_DrawIndex& draws) {
      return CheckNumbers(numbers, time, drawTime, draws);
    };
    result = source(index);
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
    source = [numbers, time = analysis.castTime,
              drawTime =
                  IsDrawTimeCast(analysis.method, analysis.timeChoice)](const rg_DrawIndex& draws) {
      return CheckNumbers(numbers, time, drawTime, draws);
    };
    result = source(index);
    blues = PlayedNumbers(numbers).blues;
    subject = QStringLiteral("当前演算结果");
    castTime = analysis.castTime;
    castId = ChosenCast(QStringLiteral("对奖失败")).value_or(0);
  }
  if (castId != 0) {
    // Scored against the very draw the tickets met (ScorePlays takes it from result).
    std::vector<rg_PlayResult> plays;
    for (rg_StoredPlay& p : rg_PlayStore(store_).List(castId))
      plays.push_back({p.id, std::move(p.play), {}, std::move(p.damage)});
    if (store_.LastStatus() != rg_StoreStatus::Ok) {
      ShowStatus(StoreFailure(QStringLiteral("投注读取失败")));
      return;
    }
    ScorePlays(result, plays);
    // A draw added while the dialog is open scores the plays too.
    source = [tickets = std::move(source), plays](const rg_DrawIndex& draws) {
      rg_CastResult r = tickets(draws);
      ScorePlays(r, plays);
      return r;
    };
  }
  delete checkWin_.data();
  checkWin_ = new rg_CheckWin(this, font_, subject, castTime, result, blues, clock_.Now());
  checkWin_->SetSource(std::move(source));
  if (const auto amounts = rg_DrawPrizes(store_).All(LotteryCode::DoubleColor)) {
    checkWin_->SetPrizeAmounts(*amounts);
    checkWin_->DrawsChanged(index, clock_.Now());
  }
  checkWin_->setAttribute(Qt::WA_DeleteOnClose);
  connect(checkWin_, &rg_CheckWin::enterDraw, this,
          [this](const QString& issue, double date) { OpenDrawEntry(issue, date, checkWin_); });
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
  const auto loaded = store_.Load(id);
  if (!loaded || !*loaded) {
    ShowStatus(!loaded ? StoreFailure(QStringLiteral("投注失败"))
                       : QStringLiteral("该记录已不存在"));
    return;
  }
  const rg_YsModel& record = **loaded;
  // Never cast again, so a play bought with it could never be checked.
  if (!record.damage.empty()) {
    ShowStatus(ui::Q(std::u16string(kDamagedCastText)));
    return;
  }
  rg_SavedCastDeriver deriver;
  const DerivedNumbers numbers = deriver.Derive(record).value_or(DerivedNumbers{});
  delete playWin_.data();
  playWin_ = new rg_PlayWin(this, font_, ui::Q(record.ysname), numbers);
  playWin_->setAttribute(Qt::WA_DeleteOnClose);
  connect(playWin_, &rg_PlayWin::saveRequested, this, [this, id, record](const rg_Play& play) {
    if (!BudgetAllows(record, play)) {
      playWin_->ShowMessage(QStringLiteral("未保存:本月投注将超出预算"), true);
      return;
    }
    const auto added = rg_PlayStore(store_).Add(id, play);
    if (!added) {
      const Failure& failure = added.error();
      playWin_->ShowMessage(failure.notFound  ? QStringLiteral("该记录已不存在")
                            : failure.refused ? QString::fromStdString(failure.message)
                                              : StoreFailure(QStringLiteral("投注保存失败")),
                            true);
      return;
    }
    playWin_->ShowMessage(QStringLiteral("已保存投注 #%1: %2 %3")
                              .arg(*added)
                              .arg(ui::Q(KindName(KindOf(play))), rg_PlayWin::CostText(play)),
                          false);
    ShowStatus(QStringLiteral("投注已保存"));
    prizeWatch_->Refresh();
    FollowLedger();
  });
  ui::OpenWithinScreen(playWin_);
  playWin_->open();
}

}  // namespace rg_com_ptl_xyh

namespace rg_com_ptl_xyh {

rg_LedgerWin* rg_XyhWin::LedgerWindow() const {
  return findChild<rg_LedgerWin*>(QString(), Qt::FindDirectChildrenOnly);
}

std::optional<std::int64_t> rg_XyhWin::Budget() {
  const std::u16string text = settings_.Read(kSysSection, kBudgetKey);
  if (text.empty()) return std::nullopt;
  const auto budget = ParseBudget(text);
  if (!budget) {
    ShowStatus(QStringLiteral("config.ini 中 budget=%1 不是 1 到 100000000 的整数元,未按预算标记")
                   .arg(ui::Q(text)));
  }
  return budget;
}

void rg_XyhWin::OpenLedger() { rg_LedgerWin::Open(this, store_, Budget(), font_); }

void rg_XyhWin::FollowLedger() {
  if (rg_LedgerWin* ledger = LedgerWindow()) ledger->Reload(store_, Budget());
}

bool rg_XyhWin::BudgetAllows(const rg_YsModel& cast, const rg_Play& play) {
  const auto budget = Budget();
  if (!budget) return true;
  const auto month = MonthWithNewPlay(store_, cast, play);
  // A ledger that cannot be read cannot tell; the play is the player's.
  if (!month || month->spent <= *budget) return true;
  const DateParts p = SplitDate(month->day);
  const QString text =
      QStringLiteral(
          "这注投注%1元计入%2年%3月(按其开奖日期),该月投注将达到%4元,超出每月预算%5元。\n"
          "仍要保存吗?")
          .arg(QString::fromStdString(GroupedYuan(PlayCost(play))))
          .arg(p.year)
          .arg(p.month)
          .arg(QString::fromStdString(GroupedYuan(month->spent)),
               QString::fromStdString(GroupedYuan(*budget)));
  return ui::ShowMessage(playWin_ != nullptr ? static_cast<QWidget*>(playWin_) : this, text,
                         QStringLiteral("询问:"), ui::MessageKind::Question) == ui::Answer::Yes;
}

}  // namespace rg_com_ptl_xyh
