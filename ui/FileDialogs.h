#pragma once
// Choosing a file to save or open: Qt's own dialog rather than the
// desktop's, so every text in it is Chinese (ours where Qt ships none), and
// opened in the folder last used for the same kind of file (the home
// folder the first time).
#include <QString>

class QCoreApplication;
class QWidget;

namespace rg_com_ptl_xyh::ui {

enum class FileKind { Picture, History };

// proposedName: a file name, put in the folder of that kind. Empty when
// the user cancels. The caller remembers the folder once the file was
// saved or read (RememberFolder): a folder that could not be used is not
// offered again.
QString AskSaveFile(QWidget* parent, FileKind kind, const QString& caption,
                    const QString& proposedName, const QString& filters,
                    QString* chosenFilter = nullptr);
QString AskOpenFile(QWidget* parent, FileKind kind, const QString& caption, const QString& filters,
                    QString* chosenFilter = nullptr);

// Where a dialog for that kind opens; what AskSaveFile and AskOpenFile
// remember.
QString FolderFor(FileKind kind);
void RememberFolder(FileKind kind, const QString& chosenFile);

// Chinese texts for the few strings of Qt's dialogs its own translation
// leaves in English ("Folder" in the file list, …); installed after the
// Qt translation, asked first, silent for everything else.
void InstallOwnTranslations(QCoreApplication& app);

}  // namespace rg_com_ptl_xyh::ui
