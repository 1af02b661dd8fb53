// Renders the screenshots of docs/ offscreen:
//   xyh-screenshots docs
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTest.h"
#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/LabeledChoice.h"

using namespace test_support;

namespace {

bool Save(QWidget* widget, const QDir& dir, const QString& name) {
  const bool ok = widget->grab().save(dir.filePath(name));
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(dir.filePath(name)));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
  bool ok = true;

  WindowFixture f;
  f.clock.Set(MakeDate(2026, 12, 6, 15, 7, 3, 250));
  rg_CastPanel* cast = f.window->MainPanel()->CastPanel();
  cast->MethodChoice()->Select(1);
  QTest::keyClicks(cast->NumberEntry(), "58");
  cast->ZodiacChoice()->Select(1);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  ok &= Save(f.window.get(), out, QStringLiteral("main-window.png"));

  rg_GuaWin dialog(f.window.get(), f.window->MainFont(), f.clock, cast->Request());
  const int forms[6] = {3, 2, 1, 4, 1, 2};
  for (int line = 1; line <= 6; ++line) dialog.Panel()->LineChoice(6 - line)->setCurrentIndex(forms[line - 1]);
  dialog.show();
  ok &= Save(&dialog, out, QStringLiteral("hand-cast.png"));
  return ok ? 0 : 1;
}
