#include "shell/XyhWin.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>

#include "derive/ResultText.h"
#include "history/EasyDb.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "shell/Constants.h"
#include "shell/LoadWin.h"
#include "shell/MainPanel.h"
#include "shell/Ui.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "update/UpdateFiles.h"

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
  // The destroyed handler: the history goes with the window.
  store_.Close();
  rg_EasyDb::Shutdown();
}

void rg_XyhWin::Create() {
  hide();
  setWindowTitle(ProductName() + QLatin1Char(' ') + VersionSuffix());
  setWindowIcon(QIcon(QStringLiteral(":/images/icon-64.png")));

  fontDescription_ = ui::MainFontDescription();
  font_ = ui::FontFromDescription(fontDescription_);
  charSize_ = ui::CharExtent(font_, QStringLiteral("数"));
  setFont(font_);

  panel_ = new rg_MainPanel(clock_, this);
  setCentralWidget(panel_);
  connect(panel_, &rg_MainPanel::statusText, this, &rg_XyhWin::ShowStatus);
  connect(panel_, &rg_MainPanel::openHandCast, this, &rg_XyhWin::OpenHandCast);
  connect(panel_, &rg_MainPanel::numbersReady, this, &rg_XyhWin::FillResult);
  panel_->Build(fontDescription_);

  status0_ = new QLabel(QStringLiteral("状态:"), this);
  status1_ = new QLabel(this);
  status0_->setFont(font_);
  status1_->setFont(font_);
  statusBar()->setFont(font_);
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(status0_, 3);
  statusBar()->addWidget(status1_, 1);
  if (!store_.Connected()) {
    ShowStatus(QStringLiteral("历史记录文件无法打开,保存与复盘不可用:") +
               QString::fromStdString(PathToUtf8(rg_EasyDb::FileIn(options_.home))));
  }

  LayOut();

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

void rg_XyhWin::ShowStatus(const QString& message) { status0_->setText(message); }

void rg_XyhWin::OpenHandCast() {
  rg_GuaWin dialog(this, font_, clock_, panel_->CastPanel()->Request());
  dialog.exec();
}

void rg_XyhWin::FillResult(rg_GuaAnalysis* analysis) {
  resultText_ = ui::Q(ResultTextFor(*analysis));
}

void rg_XyhWin::CheckForUpdate() { updateTimer_.stop(); }

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
  if (firstActiveDone_) return;
  firstActiveDone_ = true;
}

}  // namespace rg_com_ptl_xyh
