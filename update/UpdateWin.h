#pragma once
// The update window: what is offered, the download with its progress, the
// fingerprint check and the start of the installer.
#include <QWidget>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "update/UpdateService.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace rg_com_ptl_xyh {

class rg_WangLaoFangWenLei;

class rg_UpdatePanel : public QWidget {
  Q_OBJECT
 public:
  enum Button { Later = 1, Download = 2 };

  explicit rg_UpdatePanel(QWidget* parent = nullptr);
  ~rg_UpdatePanel() override;

  // Lays the panel out from the extent of "新" in font. The installer goes
  // into home, under the name the offer's fingerprint gives it.
  void Build(const QFont& font, const QString& product, const QString& current, const rg_UpdateOffer& offer,
             const std::filesystem::path& home, const std::string& caFile);

  QLabel* Line(int n) const;  // 1..5
  QPlainTextEdit* Body() const { return body_; }
  QProgressBar* Progress() const { return progress_; }
  QLabel* Status() const { return status_; }
  QPushButton* LaterButton() const { return later_; }
  QPushButton* DownloadButton() const { return download_; }
  const QString& Address() const { return address_; }
  bool Downloading() const { return downloading_; }

 public slots:
  void Press(int code);
  // A progress report, on the window's thread.
  void ShowProgress(qint64 total, qint64 received);

 signals:
  void install(const QString& installer);
  void verify(const QString& md5, const QString& installer, int* result);
  void later();
  void stateChanged(int state);

 private:
  void StartDownload();
  void FinishDownload(long status);
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
  std::unique_ptr<rg_WangLaoFangWenLei> client_;
  std::thread worker_;
  std::atomic<bool> downloading_{false};
};

class rg_updateWin : public QWidget {
  Q_OBJECT
 public:
  // States: 0 offered, 1 downloading, 2 downloaded, -2 failed.
  // home: the program directory, where the installer is downloaded.
  rg_updateWin(const QFont& font, const rg_UpdateOffer& offer, const std::filesystem::path& home,
               const std::string& caFile);
  // Closes without the question, whatever the state: the program is ending.
  void Dismiss();

  rg_UpdatePanel* Panel() const { return panel_; }
  int State() const { return state_; }

 signals:
  // The installer started; the program should end.
  void installerStarted();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  rg_UpdatePanel* panel_;
  int state_ = 0;
};

}  // namespace rg_com_ptl_xyh
