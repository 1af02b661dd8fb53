#pragma once
// Small services every window and panel shares: fonts from their text
// description, character extents, colours, and the message boxes (which
// tests can answer in place of a user).
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>
#include <string>

class QCoreApplication;
class QWidget;

namespace rg_com_ptl_xyh::ui {

// Loads Qt's Chinese translations (qtbase_zh_CN) into the application, so
// the standard buttons read 确定, 是, 否; false when they are not installed.
bool InstallTranslations(QCoreApplication& app);

// "宋体,13,0,0,0,0,0" with its size replaced by 9.
QString MainFontDescription();
// Face and size from a description "face,size,..."; a face the system lacks
// is replaced by an installed font that has the Chinese characters.
QFont FontFromDescription(const QString& description);
// The extent of one character in a font, the unit of every layout.
QSize CharExtent(const QFont& font, const QString& character);
// A Windows COLORREF (0x00BBGGRR).
QColor FromColorRef(unsigned int colorRef);

QString Q(const std::u16string& text);
std::u16string U(const QString& text);

enum class Answer { Ok, Yes, No };
enum class MessageKind { Information, Question, Critical };
using MessageHook = std::function<Answer(QWidget* parent, const QString& text,
                                         const QString& caption, MessageKind)>;
// Replaces the message boxes (tests answer them); an empty hook restores them.
void SetMessageHook(MessageHook hook);
Answer ShowMessage(QWidget* parent, const QString& text, const QString& caption, MessageKind kind);

// One form for every file the user saves: "已保存到:PATH", or where it
// could not be saved and the system's reason.
QString SavedText(const QString& path);
QString NotSavedText(const QString& path, const QString& reason);
// Writes the bytes whole or not at all; *message is one of the two texts.
bool SaveUserFile(const QString& path, const QByteArray& bytes, QString* message);
// The outcome as a message box: information, or the error icon.
void TellSaved(QWidget* parent, bool saved, const QString& message);

// Opens a document with the desktop's viewer; false when it could not.
// Tests replace the viewer with a hook.
using OpenHook = std::function<bool(const QString& path)>;
void SetOpenHook(OpenHook hook);
bool OpenDocument(const QString& path);

// One of our own PNG pictures, read as PNG and nothing else: a reader left to
// guess would open every image-format plugin Qt has to ask whether it knows
// the file, and load them and their libraries into the window's start.
QPixmap ReadPng(const QString& path);

// One of our own pictures by its resource path. The few the window shows as
// it starts are built into the program already decoded (xyh/Pictures.h), so
// they cost neither the PNG decoder nor inflating; any other is read with
// ReadPng. Either way the pixels are the file's.
QPixmap OwnPicture(const QString& path);

}  // namespace rg_com_ptl_xyh::ui
