#include "ui/Ui.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>
#include <QUrl>

#include "platform/Folders.h"
#include "platform/SaveFile.h"
#include "ui/FileDialogs.h"
#include "xyh/Pictures.h"

namespace rg_com_ptl_xyh::ui {

namespace {

OpenHook& Opener() {
  static OpenHook hook;
  return hook;
}

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

QString CjkFamily() {
  static const QString family = [] {
    const QStringList preferred = {
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("AR PL UMing CN"),    QStringLiteral("Source Han Sans SC")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& f : preferred) {
      if (installed.contains(f)) return f;
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QString() : chinese.first();
  }();
  return family;
}

// Asking the font database for a family goes through fontconfig's matching
// each time; the window asks for the same face once per panel.
bool HasFamily(const QString& face) {
  static QHash<QString, bool> known;
  const auto found = known.constFind(face);
  if (found != known.constEnd()) return *found;
  return *known.insert(face, QFontDatabase::hasFamily(face));
}

}  // namespace

bool InstallTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  bool installed = false;
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installed = QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
  // Ours after Qt's, so that it is asked first for the few texts Qt's lacks.
  InstallOwnTranslations(app);
  return installed;
}

QString MainFontDescription() {
  QStringList parts = QStringLiteral("宋体,13,0,0,0,0,0").split(QLatin1Char(','));
  parts[1] = QStringLiteral("9");
  return parts.join(QLatin1Char(','));
}

QFont FontFromDescription(const QString& description) {
  const QStringList parts = description.split(QLatin1Char(','));
  const QString face = parts.value(0).trimmed();
  const int size = parts.value(1).toInt();
  QFont font;
  if (!face.isEmpty() && HasFamily(face)) {
    font.setFamily(face);
  } else if (const QString cjk = CjkFamily(); !cjk.isEmpty()) {
    font.setFamily(cjk);
  }
  if (size > 0) font.setPointSize(size);
  return font;
}

QSize CharExtent(const QFont& font, const QString& character) {
  const QFontMetrics m(font);
  return QSize(m.horizontalAdvance(character), m.height());
}

QColor FromColorRef(unsigned int c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string U(const QString& text) { return text.toStdU16String(); }

void SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }

Answer ShowMessage(QWidget* parent, const QString& text, const QString& caption, MessageKind kind) {
  if (Hook()) return Hook()(parent, text, caption, kind);
  // A message can carry a path or a saved text: shown as written, never as
  // markup.
  QMessageBox box(parent);
  box.setWindowTitle(caption);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  switch (kind) {
    case MessageKind::Question:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    case MessageKind::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return Answer::Ok;
}

QString SavedText(const QString& path) {
  return QStringLiteral("已保存到:") + QDir::toNativeSeparators(path);
}

QString NotSavedText(const QString& path, const QString& reason) {
  return QStringLiteral("无法保存到:") + QDir::toNativeSeparators(path) +
         QStringLiteral("\n原因:") + reason;
}

bool SaveUserFile(const QString& path, const QByteArray& bytes, QString* message) {
  const Result<void> saved =
      SaveWholeFile(PathFromUtf8(path.toStdString()),
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (message != nullptr)
    *message =
        saved ? SavedText(path) : NotSavedText(path, QString::fromStdString(saved.error().message));
  return saved.has_value();
}

void TellSaved(QWidget* parent, bool saved, const QString& message) {
  ShowMessage(parent, message, QStringLiteral("信息:"),
              saved ? MessageKind::Information : MessageKind::Critical);
}

void SetOpenHook(OpenHook hook) { Opener() = std::move(hook); }

bool OpenDocument(const QString& path) {
  if (Opener()) return Opener()(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QPixmap ReadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImageReader(&reader);
}

QPixmap OwnPicture(const QString& path) {
  for (const pictures::Picture& picture : pictures::kPictures) {
    if (path != QLatin1String(picture.name)) continue;
    // Wraps the stored words without copying them; the pixmap makes its own
    // copy in the form it draws fastest.
    QImage image(reinterpret_cast<const uchar*>(picture.pixels), picture.width, picture.height,
                 static_cast<qsizetype>(picture.width) * 4,
                 static_cast<QImage::Format>(picture.format));
    image.setDotsPerMeterX(picture.dotsPerMeterX);
    image.setDotsPerMeterY(picture.dotsPerMeterY);
    return QPixmap::fromImage(image);
  }
  return ReadPng(path);
}

}  // namespace rg_com_ptl_xyh::ui
