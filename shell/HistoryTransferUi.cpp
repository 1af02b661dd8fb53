#include "shell/HistoryTransferUi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "platform/Files.h"
#include "platform/SaveFile.h"
#include "ui/FileDialogs.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv)");
const QString kJsonFilter = QStringLiteral("JSON 文件 (*.json)");

rg_FileDialog& Hook() {
  static rg_FileDialog hook;
  return hook;
}

// proposedName: the file name a save proposes, in the history files' folder.
QString AskForFile(QWidget* parent, bool save, const QString& caption, const QString& proposedName,
                   const QString& filters, QString* chosenFilter) {
  if (Hook()) {
    const QString folder = ui::FolderFor(ui::FileKind::History);
    return Hook()(parent, save, caption, save ? QDir(folder).filePath(proposedName) : folder,
                  filters, chosenFilter);
  }
  return save ? ui::AskSaveFile(parent, ui::FileKind::History, caption, proposedName, filters,
                                chosenFilter)
              : ui::AskOpenFile(parent, ui::FileKind::History, caption, filters, chosenFilter);
}

void Tell(QWidget* parent, const rg_TransferReport& report) {
  ui::TellSaved(parent, report.ok, report.message);
}

}  // namespace

rg_TransferReport ExportHistoryFile(rg_EasyDb& store, const QString& path,
                                    rg_HistoryFormat format) {
  rg_TransferReport report;
  const Result<std::vector<rg_HistoryRow>> read = ReadHistoryRows(store);
  if (!read) {
    report.message = read.error().refused ? QStringLiteral("导出失败:") +
                                                QString::fromStdString(read.error().message)
                                          : QStringLiteral("导出失败:历史记录无法读取");
    return report;
  }
  const std::vector<rg_HistoryRow>& rows = *read;
  const std::string bytes = WriteHistoryFile(rows, format);
  if (const std::string why = HistoryExportRefusal(rows, bytes); !why.empty()) {
    report.message = QStringLiteral("导出失败:") + QString::fromStdString(why);
    return report;
  }
  // Written aside and put in place at the end: a failure leaves any earlier
  // file at that name as it was.
  if (!ui::SaveUserFile(path, QByteArray::fromStdString(bytes), &report.message)) return report;
  report.ok = true;
  report.message += QStringLiteral("\n共 %1 条历史记录").arg(rows.size());
  if (format == rg_HistoryFormat::Csv &&
      std::any_of(rows.begin(), rows.end(),
                  [](const rg_HistoryRow& r) { return !r.plays.empty(); }))
    report.message += QStringLiteral("\n复式/胆拖投注未导出,请导出为 JSON 格式");
  return report;
}

rg_TransferReport ImportHistoryFile(rg_EasyDb& store, const QString& path) {
  rg_TransferReport report;
  // A regular file only, and the limit holds while it is read: a FIFO or a
  // file that keeps growing never freezes the window or fills the memory.
  const Result<std::string> read = ReadRegularFile(
      std::filesystem::path(QFile::encodeName(path).toStdString()), kHistoryFileLimit);
  if (!read && read.error().problem == rg_FileProblem::TooLarge) {
    report.message = QStringLiteral("导入失败,没有写入任何记录:\n文件超过 %1 MiB,不读")
                         .arg(kHistoryFileLimit >> 20);
    return report;
  }
  if (!read) {
    report.message = QStringLiteral("导入失败:无法读取 %1 (%2)")
                         .arg(QDir::toNativeSeparators(path), ui::Q(FileReadText(read.error())));
    return report;
  }
  report.fileRead = true;
  const Result<rg_ImportOutcome> imported = ImportHistory(store, *read);
  if (!imported) {
    report.message = QStringLiteral("导入失败,没有写入任何记录:\n") +
                     QString::fromStdString(imported.error().message);
    return report;
  }
  const rg_ImportOutcome& outcome = *imported;
  report.ok = true;
  report.added = outcome.added;
  report.message = QStringLiteral("已导入 %1 条历史记录").arg(outcome.added);
  if (outcome.skipped > 0)
    report.message += QStringLiteral(",跳过 %1 条已有的记录").arg(outcome.skipped);
  if (outcome.playsAdded > 0)
    report.message += QStringLiteral(",导入 %1 个投注").arg(outcome.playsAdded);
  return report;
}

rg_HistoryFormat FormatForFile(const QString& path, const QString& filter) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("json")) return rg_HistoryFormat::Json;
  if (suffix == QLatin1String("csv")) return rg_HistoryFormat::Csv;
  return filter == kJsonFilter ? rg_HistoryFormat::Json : rg_HistoryFormat::Csv;
}

void SetFileDialogHook(rg_FileDialog hook) { Hook() = std::move(hook); }

void ExportHistoryWithDialog(QWidget* parent, rg_EasyDb& store) {
  QString filter = kCsvFilter;
  QString path =
      AskForFile(parent, true, QStringLiteral("导出历史"), QStringLiteral("星衍推号历史.csv"),
                 kCsvFilter + QStringLiteral(";;") + kJsonFilter, &filter);
  if (path.isEmpty()) return;
  const rg_HistoryFormat format = FormatForFile(path, filter);
  if (QFileInfo(path).suffix().isEmpty()) {
    path += format == rg_HistoryFormat::Json ? QStringLiteral(".json") : QStringLiteral(".csv");
  }
  const rg_TransferReport report = ExportHistoryFile(store, path, format);
  if (report.ok) ui::RememberFolder(ui::FileKind::History, path);
  Tell(parent, report);
}

bool ImportHistoryWithDialog(QWidget* parent, rg_EasyDb& store) {
  QString filter;
  const QString path =
      AskForFile(parent, false, QStringLiteral("导入历史"), QString(),
                 QStringLiteral("历史文件 (*.csv *.json);;") + kCsvFilter + QStringLiteral(";;") +
                     kJsonFilter + QStringLiteral(";;所有文件 (*)"),
                 &filter);
  if (path.isEmpty()) return false;
  const rg_TransferReport report = ImportHistoryFile(store, path);
  // Read, whatever it held: the folder was the one the user meant.
  if (report.fileRead) ui::RememberFolder(ui::FileKind::History, path);
  Tell(parent, report);
  return report.added > 0;
}

}  // namespace rg_com_ptl_xyh
