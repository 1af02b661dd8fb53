#include "ui/FileDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QTranslator>

#include <array>
#include <cstring>

namespace rg_com_ptl_xyh::ui {

namespace {

QHash<int, QString>& Folders() {
  static QHash<int, QString> folders;
  return folders;
}

// The labels are set by hand as well: a translation that lacks one would
// otherwise leave it in English.
QString Run(QWidget* parent, bool save, const QString& caption, const QString& proposed,
            const QString& filters, QString* chosenFilter) {
  QFileDialog dialog(parent, caption, proposed, filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型:"));
  dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存") : QStringLiteral("打开"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  if (chosenFilter != nullptr && !chosenFilter->isEmpty()) dialog.selectNameFilter(*chosenFilter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (chosenFilter != nullptr) *chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().constFirst();
}

struct Text {
  const char* context;
  const char* source;
  const char* chinese;
};

// Strings of Qt's file and message dialogs that qtbase_zh_CN leaves out.
constexpr std::array<Text, 9> kTexts = {{
    {"QAbstractFileIconProvider", "Folder", "文件夹"},
    {"QAbstractFileIconProvider", "File Folder", "文件夹"},
    {"QAbstractFileIconProvider", "Drive", "驱动器"},
    {"QAbstractFileIconProvider", "File", "文件"},
    {"QAbstractFileIconProvider", "%1 File", "%1 文件"},
    {"QFileDialog", "Cancel", "取消"},
    {"QFileDialog", "Computer", "计算机"},
    {"QPlatformTheme", "Yes", "是"},
    {"QPlatformTheme", "No", "否"},
}};

class OwnTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (context == nullptr || source == nullptr) return {};
    for (const Text& t : kTexts) {
      if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
        return QString::fromUtf8(t.chinese);
    }
    return {};
  }
};

}  // namespace

QString FolderFor(FileKind kind) {
  const QString folder = Folders().value(static_cast<int>(kind));
  return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void RememberFolder(FileKind kind, const QString& chosenFile) {
  const QString folder = QFileInfo(chosenFile).absolutePath();
  if (!folder.isEmpty()) Folders().insert(static_cast<int>(kind), folder);
}

QString AskSaveFile(QWidget* parent, FileKind kind, const QString& caption,
                    const QString& proposedName, const QString& filters, QString* chosenFilter) {
  return Run(parent, true, caption, QDir(FolderFor(kind)).filePath(proposedName), filters,
             chosenFilter);
}

QString AskOpenFile(QWidget* parent, FileKind kind, const QString& caption, const QString& filters,
                    QString* chosenFilter) {
  return Run(parent, false, caption, FolderFor(kind), filters, chosenFilter);
}

void InstallOwnTranslations(QCoreApplication& app) {
  QCoreApplication::installTranslator(new OwnTranslator(&app));
}

}  // namespace rg_com_ptl_xyh::ui
