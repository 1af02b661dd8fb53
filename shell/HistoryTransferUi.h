#pragma once
// Export and import of the history from the window. The file work and the
// wording of the outcome live here, apart from the dialogs, so that they can
// be tested without a person choosing files.
#include <QString>

#include <functional>

#include "history/HistoryFile.h"

class QWidget;

namespace rg_com_ptl_xyh {

class rg_EasyDb;

struct rg_TransferReport {
  bool ok = false;
  int added = 0;
  bool fileRead = false;  // the file could be read, whatever it held
  QString message;        // shown to the user as it stands
};

// Writes every saved cast into path, whole or not at all.
rg_TransferReport ExportHistoryFile(rg_EasyDb& store, const QString& path, rg_HistoryFormat format);
// Adds the casts of the file; a bad file is refused with the place and the
// reason, and nothing is written.
rg_TransferReport ImportHistoryFile(rg_EasyDb& store, const QString& path);

// The format a save dialog's answer means: the suffix of the name, else the
// filter chosen.
rg_HistoryFormat FormatForFile(const QString& path, const QString& filter);

// Asks for a file name: (parent, save or open, caption, proposed path,
// filters, chosen filter in and out); empty when the user cancels.
using rg_FileDialog =
    std::function<QString(QWidget* parent, bool save, const QString& caption,
                          const QString& proposed, const QString& filters, QString* chosenFilter)>;
// Replaces the file dialogs (tests answer them); an empty function restores Qt's.
void SetFileDialogHook(rg_FileDialog hook);

// The window's two actions: ask for the file, do it, say how it went.
void ExportHistoryWithDialog(QWidget* parent, rg_EasyDb& store);
// True when casts were added, so that the list is filled again.
bool ImportHistoryWithDialog(QWidget* parent, rg_EasyDb& store);

}  // namespace rg_com_ptl_xyh
