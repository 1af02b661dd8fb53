#include "shell/HistoryTransferUi.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <vector>

#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv)");
const QString kJsonFilter = QStringLiteral("JSON 文件 (*.json)");

rg_FileDialog& Hook() {
  static rg_FileDialog hook;
  return hook;
}

QString AskForFile(QWidget* parent, bool save, const QString& caption, const QString& proposed,
                   const QString& filters, QString* chosenFilter) {
  if (Hook()) return Hook()(parent, save, caption, proposed, filters, chosenFilter);
  return save ? QFileDialog::getSaveFileName(parent, caption, proposed, filters, chosenFilter)
              : QFileDialog::getOpenFileName(parent, caption, proposed, filters, chosenFilter);
}

void Tell(QWidget* parent, const rg_TransferReport& report) {
  ui::ShowMessage(parent, report.message, QStringLiteral("信息:"),
                  report.ok ? ui::MessageKind::Information : ui::MessageKind::Critical);
}

}  // namespace

rg_TransferReport ExportHistoryFile(rg_EasyDb& store, const QString& path,
                                    rg_HistoryFormat format) {
  rg_TransferReport report;
  std::vector<rg_HistoryRow> rows;
  if (!ReadHistoryRows(store, rows)) {
    report.message = QStringLiteral("导出失败:历史记录无法读取");
    return report;
  }
  const std::string bytes = WriteHistoryFile(rows, format);
  // Written aside and put in place at the end: a failure leaves any earlier
  // file at that name as it was.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    report.message = QStringLiteral("导出失败:无法写入 %1").arg(QDir::toNativeSeparators(path));
    return report;
  }
  report.ok = true;
  report.message = QStringLiteral("已导出 %1 条历史记录到 %2")
                       .arg(rows.size())
                       .arg(QDir::toNativeSeparators(path));
  if (format == rg_HistoryFormat::Csv &&
      std::any_of(rows.begin(), rows.end(),
                  [](const rg_HistoryRow& r) { return !r.plays.empty(); }))
    report.message += QStringLiteral("\n复式/胆拖投注未导出,请导出为 JSON 格式");
  return report;
}

rg_TransferReport ImportHistoryFile(rg_EasyDb& store, const QString& path) {
  rg_TransferReport report;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    report.message = QStringLiteral("导入失败:无法读取 %1").arg(QDir::toNativeSeparators(path));
    return report;
  }
  // One byte over the limit is enough for the reader to refuse the file.
  const QByteArray bytes = file.read(static_cast<qint64>(kHistoryFileLimit) + 1);
  if (file.error() != QFileDevice::NoError) {
    report.message = QStringLiteral("导入失败:无法读取 %1").arg(QDir::toNativeSeparators(path));
    return report;
  }
  const rg_ImportOutcome outcome =
      ImportHistory(store, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  if (!outcome.ok) {
    report.message =
        QStringLiteral("导入失败,没有写入任何记录:\n") + QString::fromStdString(outcome.error);
    return report;
  }
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
  QString path = AskForFile(parent, true, QStringLiteral("导出历史"),
                            QDir::home().filePath(QStringLiteral("星衍推号历史.csv")),
                            kCsvFilter + QStringLiteral(";;") + kJsonFilter, &filter);
  if (path.isEmpty()) return;
  const rg_HistoryFormat format = FormatForFile(path, filter);
  if (QFileInfo(path).suffix().isEmpty()) {
    path += format == rg_HistoryFormat::Json ? QStringLiteral(".json") : QStringLiteral(".csv");
  }
  Tell(parent, ExportHistoryFile(store, path, format));
}

bool ImportHistoryWithDialog(QWidget* parent, rg_EasyDb& store) {
  QString filter;
  const QString path =
      AskForFile(parent, false, QStringLiteral("导入历史"), QDir::homePath(),
                 QStringLiteral("历史文件 (*.csv *.json);;") + kCsvFilter + QStringLiteral(";;") +
                     kJsonFilter + QStringLiteral(";;所有文件 (*)"),
                 &filter);
  if (path.isEmpty()) return false;
  const rg_TransferReport report = ImportHistoryFile(store, path);
  Tell(parent, report);
  return report.added > 0;
}

}  // namespace rg_com_ptl_xyh
