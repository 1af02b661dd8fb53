#pragma once
// The update window: what is offered, the download with its progress, the
// fingerprint check and the start of the installer.
#include <QWidget>

#include <filesystem>
#include <optional>

#include "ui/AsyncTask.h"
#include "update/UpdateService.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace rg_com_ptl_xyh {

class rg_UpdatePanel : public QWidget {
  Q_OBJECT
 public:
  enum Button { Later = 1, Download = 2 };
  // Where the offer stands; the update window keeps the last one.
  enum State { Offered = 0, DownloadRunning = 1, DownloadDone = 2, DownloadFailed = -2 };
  // What the download button does next; its caption says it.
  enum class Action { DownloadNow, Downloading, InstallNow };

  explicit rg_UpdatePanel(QWidget* parent = nullptr);
  ~rg_UpdatePanel() override;

  // Lays the panel out from the extent of "新" in font. The installer goes
  // into home, under the name the offer's fingerprint gives it.
  void Build(const QFont& font, const QString& product, const QString& current,
             const rg_UpdateOffer& offer, const std::filesystem::path& home,
             const std::string& caFile);

  QLabel* Line(int n) const;  // 1..5
  QPlainTextEdit* Body() const { return body_; }
  QProgressBar* Progress() const { return progress_; }
  QLabel* Status() const { return status_; }
  QPushButton* LaterButton() const { return later_; }
  QPushButton* DownloadButton() const { return download_; }
  const QString& Address() const { return address_; }
  bool Downloading() const { return downloadTask_.Running(); }
  Action NextAction() const { return action_; }

 public slots:
  void Press(int code);
  // A progress report, on the window's thread.
  void ShowProgress(qint64 total, qint64 received);

 signals:
  void install(const QString& installer);
  void verify(const QString& md5, const QString& installer, int* result);
  void later();
  void stateChanged(rg_UpdatePanel::State state);

 private:
  void SetAction(Action action);
  void StartDownload();
  void FinishDownload(long status);
  void VerifyAndInstall();
  // The installer's path, or nullopt when its name is no plain file name.
  std::optional<std::filesystem::path> Installer() const;

  QList<QLabel*> lines_;
  QPlainTextEdit* body_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* later_ = nullptr;
  QPushButton* download_ = nullptr;
  QString md5_;
  QString address_;
  std::optional<std::u16string> downloadUrl_;
  std::filesystem::path home_;
  std::u16string installerName_;
  std::int64_t maxBytes_ = 0;
  std::string caFile_;
  Action action_ = Action::DownloadNow;
  // Last, so a download still running ends before the rest goes.
  ui::AsyncTask downloadTask_{this};
};

class rg_updateWin : public QWidget {
  Q_OBJECT
 public:
  // home: the program directory, where the installer is downloaded.
  rg_updateWin(const QFont& font, const rg_UpdateOffer& offer, const std::filesystem::path& home,
               const std::string& caFile);
  // Closes without the question, whatever the state: the program is ending.
  void Dismiss();

  rg_UpdatePanel* Panel() const { return panel_; }
  rg_UpdatePanel::State State() const { return state_; }

 signals:
  // The installer started; the program should end.
  void installerStarted();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  rg_UpdatePanel* panel_;
  rg_UpdatePanel::State state_ = rg_UpdatePanel::Offered;
};

}  // namespace rg_com_ptl_xyh
