#include "update/UpdateWin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "platform/Folders.h"
#include "ui/Constants.h"
#include "ui/ScreenFit.h"
#include "ui/Ui.h"
#include "update/UpdateFiles.h"

namespace rg_com_ptl_xyh {

namespace {
const QString kDownloadNow = QStringLiteral("立即下载");
const QString kDownloading = QStringLiteral("…下载中…");
const QString kInstallNow = QStringLiteral("立即安装");
const QString kDownloadFailed = QStringLiteral("对不起！下载失败请检查网络稍候再试");

const QString& Caption(rg_UpdatePanel::Action action) {
  switch (action) {
    case rg_UpdatePanel::Action::Downloading: return kDownloading;
    case rg_UpdatePanel::Action::InstallNow: return kInstallNow;
    case rg_UpdatePanel::Action::DownloadNow: break;
  }
  return kDownloadNow;
}
}  // namespace

rg_UpdatePanel::rg_UpdatePanel(QWidget* parent) : QWidget(parent) {}

// The download task, the last member, ends a download still running.
rg_UpdatePanel::~rg_UpdatePanel() = default;

QLabel* rg_UpdatePanel::Line(int n) const { return lines_.value(n - 1); }

void rg_UpdatePanel::Build(const QFont& font, const QString& product, const QString& current,
                           const rg_UpdateOffer& offer, const std::filesystem::path& home,
                           const std::string& caFile) {
  setFont(font);
  const QSize unit = ui::CharExtent(font, QStringLiteral("新"));
  const int w = unit.width();
  const int h = unit.height();
  // As wide as the release date says, and never too narrow for the buttons.
  const int p = std::max(2 * w * static_cast<int>(offer.day.size()), 12 * w + 30);

  md5_ = ui::Q(offer.md5);
  home_ = home;
  installerName_ = InstallerName(offer);
  maxBytes_ = InstallerByteBound(offer.size);
  caFile_ = caFile;
  if (const auto url = DecodeHexUrl(offer.url)) address_ = ui::Q(*url);
  downloadUrl_ = DownloadAddress(offer.url);

  const QStringList texts = {
      QStringLiteral("软件名称:") + product, QStringLiteral("当前版本:") + current,
      QStringLiteral("最新版本:") + ui::Q(offer.verns),
      QStringLiteral("发布日期:") + ui::Q(offer.day),
      QStringLiteral("文件大小:") + ui::Q(MegabyteText(offer.size)) + QStringLiteral("MB")};
  for (int i = 0; i < texts.size(); ++i) {
    auto* line = new QLabel(texts[i], this);
    line->setTextFormat(Qt::PlainText);  // manifest text is never markup
    line->setGeometry(5, 6 + i * (h + 6), p - 10, h);
    lines_.append(line);
  }
  body_ = new QPlainTextEdit(this);
  body_->setReadOnly(true);
  body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  body_->document()->setDocumentMargin(4);
  body_->setBackgroundRole(QPalette::Button);
  QPalette palette = body_->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  body_->setPalette(palette);
  body_->setPlainText(QStringLiteral("更新内容:") + ui::Q(offer.body));
  body_->setGeometry(5, 5 * h + 36, p - 30, 8 * h);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setGeometry(5, 13 * h + 42, p - 30, h + 8);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  status_->setGeometry(5, 14 * h + 56, p - 10, h);
  later_ = new QPushButton(QStringLiteral("下次再说"), this);
  download_ = new QPushButton(Caption(action_), this);
  const int x = (p - 12 * w - 10) / 2;
  later_->setGeometry(x, 15 * h + 62, 6 * w, h + 12);
  download_->setGeometry(x + 6 * w + 10, 15 * h + 62, 6 * w, h + 12);
  connect(later_, &QPushButton::clicked, this, [this] { Press(Later); });
  connect(download_, &QPushButton::clicked, this, [this] { Press(Download); });
  resize(p, 16 * h + 82);
}

void rg_UpdatePanel::Press(int code) {
  if (code == Later) {
    emit later();
    return;
  }
  if (code != Download) return;
  switch (action_) {
    case Action::DownloadNow:
      SetAction(Action::Downloading);
      later_->setEnabled(false);
      download_->setEnabled(false);
      StartDownload();
      return;
    case Action::InstallNow: VerifyAndInstall(); return;
    case Action::Downloading: return;
  }
}

void rg_UpdatePanel::SetAction(Action action) {
  action_ = action;
  download_->setText(Caption(action));
}

void rg_UpdatePanel::VerifyAndInstall() {
  later_->setEnabled(false);
  download_->setEnabled(false);
  int result = 0;
  const auto installer = Installer();
  if (installer) emit verify(md5_, QString::fromStdString(PathToUtf8(*installer)), &result);
  if (result == 100) {
    status_->setText(QStringLiteral("文件指纹正确，立即进行安装"));
    emit install(QString::fromStdString(PathToUtf8(*installer)));
  } else {
    status_->setText(QStringLiteral("文件指纹不正确，请重新下载"));
    if (installer) DiscardInstaller(*installer);
    SetAction(Action::DownloadNow);
    later_->setEnabled(true);
    download_->setEnabled(true);
  }
}

void rg_UpdatePanel::StartDownload() {
  progress_->setRange(0, 100);
  progress_->setValue(0);
  emit stateChanged(DownloadRunning);
  // Only an https address is fetched, and only from a verified server,
  // into a plain file of the program directory: anything else is a failed
  // download the user may try again.
  const auto target = Installer();
  if (!downloadUrl_ || !target) {
    FinishDownload(0);
    return;
  }
  // Both buttons stay disabled until it ends, so no second one is asked for.
  downloadTask_.RunThenCallback(
      [this, address = *downloadUrl_, target = *target, maxBytes = maxBytes_,
       caFile = caFile_](const std::atomic<bool>& abort) {
        const auto report = [this](std::int64_t total, std::int64_t received) {
          downloadTask_.Post([this, total, received] { ShowProgress(total, received); });
        };
        return DownloadInstaller(address, target, maxBytes, caFile, &abort, report);
      },
      [this](long status) { FinishDownload(status); });
}

std::optional<std::filesystem::path> rg_UpdatePanel::Installer() const {
  return FileInProgramDir(home_, installerName_);
}

void rg_UpdatePanel::ShowProgress(qint64 total, qint64 received) {
  const int percent = ProgressPercent(total, received);
  if (percent < 0) return;
  progress_->setValue(percent);
  status_->setText(QStringLiteral("文件大小:") + ui::Q(MegabyteText(static_cast<double>(total))) +
                   QStringLiteral("/已下载:") + ui::Q(MegabyteText(static_cast<double>(received))) +
                   QStringLiteral("MB"));
}

void rg_UpdatePanel::FinishDownload(long status) {
  if (status == 200) {
    emit stateChanged(DownloadDone);
    SetAction(Action::InstallNow);
    download_->setEnabled(true);
    status_->setText(QStringLiteral("恭喜您！更新已下载成功!"));
  } else {
    emit stateChanged(DownloadFailed);
    SetAction(Action::DownloadNow);
    download_->setEnabled(true);
    status_->setText(kDownloadFailed);
  }
  later_->setEnabled(true);
}

rg_updateWin::rg_updateWin(const QFont& font, const rg_UpdateOffer& offer,
                           const std::filesystem::path& home, const std::string& caFile)
    : QWidget(nullptr, Qt::Window), panel_(new rg_UpdatePanel(this)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QStringLiteral("发现新版本"));
  setFont(font);
  panel_->Build(font, ProductName(), QString::fromLatin1(kVersionName), offer, home, caFile);
  setFixedSize(panel_->size());
  ui::OpenWithinScreen(this, size());
  connect(panel_, &rg_UpdatePanel::stateChanged, this,
          [this](rg_UpdatePanel::State state) { state_ = state; });
  connect(panel_, &rg_UpdatePanel::verify, this,
          [](const QString& md5, const QString& path, int* result) {
            *result = VerifyInstaller(ui::U(md5), PathFromUtf8(path.toStdString()));
          });
  // No question: "下次再说" closes at once.
  connect(panel_, &rg_UpdatePanel::later, this, &rg_updateWin::Dismiss);
  connect(panel_, &rg_UpdatePanel::install, this, [this](const QString& path) {
    if (!LaunchInstaller(PathFromUtf8(path.toStdString()))) {
      // Said, and the program stays open: closing as if it had started
      // would leave the user with neither version running.
      ui::ShowMessage(this, QStringLiteral("安装程序无法启动:") + path, QStringLiteral("信息:"),
                      ui::MessageKind::Information);
      panel_->DownloadButton()->setEnabled(true);
      panel_->LaterButton()->setEnabled(true);
      return;
    }
    // The installer replaces this program: every window goes, so the
    // process ends.
    Dismiss();
    emit installerStarted();
  });
}

void rg_updateWin::Dismiss() {
  state_ = rg_UpdatePanel::Offered;
  hide();
  deleteLater();
}

void rg_updateWin::closeEvent(QCloseEvent* event) {
  // Downloading or downloaded: the update is under way.
  const bool underWay =
      state_ == rg_UpdatePanel::DownloadRunning || state_ == rg_UpdatePanel::DownloadDone;
  if (underWay &&
      ui::ShowMessage(this, QStringLiteral("未完成本次更新的安装，是否取消本次更新?"),
                      QStringLiteral("询问:"), ui::MessageKind::Question) != ui::Answer::Yes) {
    event->ignore();
    return;
  }
  event->accept();
  deleteLater();
}

}  // namespace rg_com_ptl_xyh
