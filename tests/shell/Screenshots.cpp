// Renders the screenshots of docs/ offscreen:
//   xyh-screenshots docs
// or grabs the whole screen of $DISPLAY (for a program started for real):
//   xyh-screenshots --screen FILE
#include <QApplication>
#include <QScreen>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTest.h"
#include "draws/DrawPanel.h"
#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "update/UpdateWin.h"

using namespace test_support;

namespace {

bool Save(QWidget* widget, const QDir& dir, const QString& name) {
  const bool ok = widget->grab().save(dir.filePath(name));
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(dir.filePath(name)));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && QByteArray(argv[1]) == "--screen") {
    QApplication app(argc, argv);
    const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2]));
    return ok ? 0 : 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
  bool ok = true;

  WindowFixture f;
  rg_CastPanel* cast = f.window->MainPanel()->CastPanel();
  rg_HistoryPanel* history = f.window->MainPanel()->HistoryPanel();
  const auto castNumber = [&](const char* number, int zodiac) {
    cast->MethodChoice()->Select(1);
    cast->NumberEntry()->clear();
    QTest::keyClicks(cast->NumberEntry(), number);
    cast->ZodiacChoice()->Select(zodiac);
    QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  };
  // A few saved casts for the history list.
  const struct { const char* number; int zodiac; const char* title; double when; } saved[] = {
      {"2024", 5, "新年试卦", MakeDate(2026, 1, 1, 9, 30)},
      {"318", 9, "周末", MakeDate(2026, 11, 28, 20, 5, 12)},
      {"7", 2, "午间", MakeDate(2026, 12, 5, 12)},
  };
  for (const auto& s : saved) {
    f.clock.Set(s.when);
    castNumber(s.number, s.zodiac);
    qobject_cast<QLineEdit*>(history->Name()->Box())->insert(QString::fromUtf8(s.title));
    QTest::mouseClick(history->SaveButton(), Qt::LeftButton);
  }
  f.clock.Set(MakeDate(2026, 12, 6, 15, 7, 3, 250));
  castNumber("58", 1);
  // The strip as a refresh leaves it (the numbers of a sample draw).
  rg_DrawPanel* draws = f.window->MainPanel()->DrawPanel();
  draws->layoutDraw(1, QStringLiteral("03091619252907"), QStringLiteral("2026-12-03"), QStringLiteral("2026139"),
                    f.window->MainPanel()->FontDescription(), 0);
  ok &= Save(draws, out, QStringLiteral("draws-strip.png"));
  qobject_cast<QLineEdit*>(history->Name()->Box())->insert(QStringLiteral("甲"));
  ok &= Save(f.window.get(), out, QStringLiteral("main-window.png"));
  QTest::mouseClick(history->QrButton(), Qt::LeftButton);
  ok &= Save(f.window.get(), out, QStringLiteral("qr-code.png"));
  QTest::mouseClick(history->QrButton(), Qt::LeftButton);

  rg_GuaWin dialog(f.window.get(), f.window->MainFont(), f.clock, cast->Request());
  const int forms[6] = {3, 2, 1, 4, 1, 2};
  for (int line = 1; line <= 6; ++line) dialog.Panel()->LineChoice(6 - line)->setCurrentIndex(forms[line - 1]);
  dialog.show();
  ok &= Save(&dialog, out, QStringLiteral("hand-cast.png"));
  rg_UpdateOffer offer;
  offer.name = u"星衍推号";
  offer.ver = 2;
  offer.verns = u"V1.1.0";
  offer.day = u"2026年12月1日发布";
  offer.md5 = u"0123456789ABCDEF0123456789ABCDEF";
  offer.body = u"1. 历史列表载入更快\n2. 二维码更清晰\n3. 修正若干问题";
  offer.size = 13107200;
  rg_updateWin update(f.window->MainFont(), offer, f.home.path(), {});
  update.Panel()->ShowProgress(13107200, 5242880);
  update.show();
  ok &= Save(&update, out, QStringLiteral("update-window.png"));
  return ok ? 0 : 1;
}
