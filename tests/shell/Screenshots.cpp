// Renders the screenshots of docs/ offscreen:
//   xyh-screenshots docs
// or grabs the whole screen of $DISPLAY (for a program started for real):
//   xyh-screenshots --screen FILE
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "draws/DrawPanel.h"
#include "history/DrawArchive.h"
#include "history/DrawPrizes.h"
#include "history/Plays.h"
#include "history/SavedCast.h"
#include "platform/Utf.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/ChartWin.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/DrawEntryWin.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/LedgerWin.h"
#include "shell/panels/PlayWin.h"
#include "shell/panels/TrendChart.h"
#include "shell/panels/TrendWin.h"
#include "support/GuiTest.h"
#include "support/Records.h"
#include "update/UpdateWin.h"

using namespace test_support;

namespace {

bool Save(QWidget* widget, const QDir& dir, const QString& name) {
  const bool ok = widget->grab().save(dir.filePath(name));
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(dir.filePath(name)));
  return ok;
}

}  // namespace

// A tool run by hand: an escaping exception ends it with its message, which
// is all it should do.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  if (argc > 2 && QByteArray(argv[1]) == "--screen") {
    QApplication app(argc, argv);
    const bool ok =
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2]));
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
  const struct {
    const char* number;
    int zodiac;
    const char* title;
    double when;
  } saved[] = {
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
  draws->layoutDraw(1, QStringLiteral("03091619252907"), QStringLiteral("2026-12-03"),
                    QStringLiteral("2026139"), f.window->MainPanel()->FontDescription(), 0);
  f.window->ShowNetworkStatus(ui::Q(std::u16string(kDrawUpdatedMessage)));
  ok &= Save(draws, out, QStringLiteral("draws-strip.png"));
  qobject_cast<QLineEdit*>(history->Name()->Box())->insert(QStringLiteral("甲"));
  ok &= Save(f.window.get(), out, QStringLiteral("main-window.png"));
  QTest::mouseClick(history->QrButton(), Qt::LeftButton);
  ok &= Save(f.window.get(), out, QStringLiteral("qr-code.png"));
  QTest::mouseClick(history->QrButton(), Qt::LeftButton);
  // Made larger, with two casts ticked for 删除.
  f.window->resize(1280, 900);
  QApplication::processEvents();
  for (int row : {0, 2})
    history->Model().setData(history->Model().index(row), Qt::Checked, Qt::CheckStateRole);
  ok &= Save(f.window.get(), out, QStringLiteral("main-window-large.png"));
  history->Model().SetAllChecked(false);
  history->FollowList();
  f.window->resize(rg_XyhWin::kWidth, rg_XyhWin::kPanelHeight + f.window->statusBar()->height());
  QApplication::processEvents();
  QTest::mouseClick(f.window->MainPanel()->GuaPanel()->ChartButton(), Qt::LeftButton);
  rg_ChartWin* chart = f.window->MainPanel()->ChartWin();
  ok &= Save(chart, out, QStringLiteral("chart-window.png"));
  // Scrolled to the judgement, tall enough for both hexagrams' texts.
  chart->resize(chart->width(), chart->View()->JudgementTop() > 0 ? 1010 : chart->height());
  QApplication::processEvents();
  chart->Scroll()->verticalScrollBar()->setValue(chart->View()->JudgementTop() - 8);
  QApplication::processEvents();
  ok &= Save(chart, out, QStringLiteral("chart-window-texts.png"));
  chart->close();

  rg_GuaWin dialog(f.window.get(), f.window->MainFont(), f.clock, cast->Request());
  const int forms[6] = {3, 2, 1, 4, 1, 2};
  for (int line = 1; line <= 6; ++line)
    dialog.Panel()->LineChoice(6 - line)->setCurrentIndex(forms[line - 1]);
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

  // The history list's context menu, drawn where a right click opens it
  // (a popup is a window of its own, which a grab of the panel leaves out).
  QMenu menu;
  menu.setFont(history->font());
  menu.addActions(history->List()->actions());
  menu.adjustSize();
  QPixmap withMenu = history->grab(QRect(0, 0, history->width(), history->List()->height() + 50));
  QPainter painter(&withMenu);
  painter.drawPixmap(QPoint(history->width() / 3, history->List()->height() / 3), menu.grab());
  painter.end();
  ok &= withMenu.save(out.filePath(QStringLiteral("history-menu.png")));

  // 对奖: draws in the archive around the saved casts, two of which won.
  {
    rg_SavedCastDeriver deriver;
    const auto ticketsOf = [&](std::int64_t id) {
      return PlayedNumbers(*deriver.Derive(test_support::StoredCast(f.store, id)));
    };
    const auto noon = ticketsOf(3);     // 午间, Saturday: meets Sunday's draw
    const auto weekend = ticketsOf(2);  // 周末, after Saturday's close: Sunday a week earlier
    const auto draw = [](const char16_t* issue, double date, std::vector<int> red, int blue) {
      std::sort(red.begin(), red.end());  // as the results page lists them
      return SsqDraw(issue, date, std::move(red), blue);
    };
    int outside = 1;
    while (std::find(weekend.blues.begin(), weekend.blues.end(), outside) != weekend.blues.end())
      ++outside;
    rg_DrawArchive archive(f.store);
    const double stored = MakeDate(2026, 12, 6, 22, 0, 0);
    archive.Store(draw(u"2026001", MakeDate(2026, 1, 1), {2, 8, 13, 21, 26, 33}, 16), stored);
    // Thursday's 2026136 before it, so that the archive vouches for 2026137.
    archive.Store(draw(u"2026136", MakeDate(2026, 11, 26), {4, 10, 15, 22, 28, 31}, 9), stored);
    archive.Store(draw(u"2026137", MakeDate(2026, 11, 29),
                       {weekend.tickets[0][0], weekend.tickets[0][1], weekend.tickets[0][2],
                        weekend.tickets[0][3], weekend.tickets[1][0], weekend.tickets[1][1]},
                       outside),
                  stored);
    archive.Store(draw(u"2026138", MakeDate(2026, 12, 1), {1, 7, 12, 18, 24, 30}, 5), stored);
    archive.Store(draw(u"2026139", MakeDate(2026, 12, 3), {3, 9, 16, 19, 25, 29}, 7), stored);
    archive.Store(draw(u"2026140", MakeDate(2026, 12, 6),
                       {noon.tickets[0][0], noon.tickets[0][1], noon.tickets[0][2],
                        noon.tickets[0][3], noon.tickets[0][4], noon.tickets[1][0]},
                       noon.blues.empty() ? 1 : noon.blues[0]),
                  stored);
    f.window->FillHistory();
    ok &= QTest::qWaitFor([&] { return !f.window->PrizeWatch()->Busy(); }, 20000);
    history->List()->setCurrentIndex(history->Model().index(0));
    ok &= Save(history, out, QStringLiteral("history-marked.png"));
    QTest::mouseClick(history->CheckButton(), Qt::LeftButton);
    if (rg_CheckWin* check = f.window->CheckWindow()) {
      check->adjustSize();
      ok &= Save(check, out, QStringLiteral("check-dialog.png"));
    } else {
      ok = false;
    }

    // The same cast had the refresh missed Thursday's 2026139: which draw
    // it was made for cannot be told, and 录入开奖 fills the hole.
    std::vector<rg_DrawEntry> holed = archive.DoubleColorDraws();
    std::erase_if(holed, [](const rg_DrawEntry& d) { return d.issue == u"2026139"; });
    const rg_DrawIndex index(holed);
    const rg_YsModel noonCast = test_support::StoredCast(f.store, 3);
    const rg_CastResult missing = deriver.Check(noonCast, index);
    rg_CheckWin missingCheck(f.window.get(), f.window->MainFont(), ui::Q(noonCast.ysname),
                             noonCast.ysday, missing, noon.blues, f.clock.Now());
    missingCheck.show();
    missingCheck.adjustSize();
    ok &= missing.status == rg_CastStatus::Missing;
    ok &= Save(&missingCheck, out, QStringLiteral("check-missing.png"));
    missingCheck.close();
    rg_DrawEntryWin entry(f.window.get(), f.window->MainFont(), f.store, f.clock,
                          ui::Q(missing.missingIssue), missing.expectedDrawDate);
    const int reds[] = {3, 9, 16, 19, 25, 29};
    for (int i = 0; i < 6; ++i) entry.Red(i)->setValue(reds[i]);
    entry.Blue()->setValue(7);
    entry.show();
    entry.adjustSize();
    ok &= Save(&entry, out, QStringLiteral("draw-entry.png"));
    entry.close();
    // 投注 on the same cast: a 复式 of the first ticket and two more reds,
    // then a 胆拖 with two 胆; both saved and checked.
    QTest::mouseClick(f.window->MainPanel()->PlayButton(), Qt::LeftButton);
    if (rg_PlayWin* play = f.window->PlayWindow()) {
      QTest::mouseClick(play->FillButton(rg_PlayWin::Ticket1), Qt::LeftButton);
      QTest::mouseClick(play->FillButton(rg_PlayWin::BlueAnalysis), Qt::LeftButton);
      int added = 0;
      for (int n = 33; added < 2; --n) {
        if (!play->RedToggle(n)->isChecked()) {
          QTest::mouseClick(play->RedToggle(n), Qt::LeftButton);
          ++added;
        }
      }
      QTest::mouseClick(play->SaveButton(), Qt::LeftButton);
      play->adjustSize();
      ok &= Save(play, out, QStringLiteral("play-dialog-multiple.png"));
      QTest::mouseClick(play->FillButton(rg_PlayWin::Ticket2), Qt::LeftButton);
      play->DanMode()->setChecked(true);
      for (int n : {noon.tickets[0][0], noon.tickets[0][1]}) {
        if (play->RedToggle(n)->isChecked()) QTest::mouseClick(play->RedToggle(n), Qt::LeftButton);
        QTest::mouseClick(play->RedToggle(n), Qt::LeftButton);
      }
      play->MultipleBox()->setValue(2);
      QTest::mouseClick(play->SaveButton(), Qt::LeftButton);
      ok &= Save(play, out, QStringLiteral("play-dialog-dantuo.png"));
      play->close();
    } else {
      ok = false;
    }
    QTest::mouseClick(history->CheckButton(), Qt::LeftButton);
    if (rg_CheckWin* check = f.window->CheckWindow()) {
      check->adjustSize();
      ok &= Save(check, out, QStringLiteral("check-dialog-plays.png"));
    } else {
      ok = false;
    }
  }

  // The trend window over 100 more made-up draws (Tuesday, Thursday, Sunday).
  {
    if (rg_CheckWin* check = f.window->CheckWindow()) check->close();
    std::uint32_t seed = 58;
    const auto next = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return static_cast<int>(seed >> 8);
    };
    std::string csv = "issue,date,red,blue\n";
    // 2026036 to 2026135, so that they run on into the draws stored above.
    std::vector<double> dates;
    for (double day = MakeDate(2026, 11, 24); dates.size() < 100; day = AddDays(day, -1)) {
      const int weekday = SplitDate(day).weekday;
      if (weekday == 1 || weekday == 3 || weekday == 5) dates.insert(dates.begin(), day);
    }
    for (int i = 0; i < 100; ++i) {
      std::vector<int> reds;
      while (reds.size() < 6) {
        const int n = next() % 33 + 1;
        if (std::find(reds.begin(), reds.end(), n) == reds.end()) reds.push_back(n);
      }
      csv += std::to_string(2026036 + i) + "," +
             ToUtf8(DrawDateText(dates[static_cast<std::size_t>(i)])) + "," + NumbersText(reds) +
             "," + NumbersText({next() % 16 + 1}) + "\n";
    }
    rg_DrawArchive(f.store).Import(kSsq, csv, f.clock.Now());
    QTest::mouseClick(history->TrendButton(), Qt::LeftButton);
    auto* trend = f.window->findChild<rg_TrendWin*>();
    trend->SetRange(0);
    // The offscreen screen is small; a desktop gives the chart its width.
    trend->resize(trend->Chart()->width() + 60, 800);
    QApplication::processEvents();
    ok &= Save(trend, out, QStringLiteral("trend-window.png"));
    trend->Tabs()->setCurrentIndex(rg_TrendWin::CountPage);
    QApplication::processEvents();
    ok &= Save(trend, out, QStringLiteral("trend-counts.png"));
    trend->Tabs()->setCurrentIndex(rg_TrendWin::OmissionPage);
    QApplication::processEvents();
    ok &= Save(trend, out, QStringLiteral("trend-omission.png"));

    // Two draws the refresh never saw: a row each, counted in the header.
    std::vector<rg_DrawEntry> holed = rg_DrawArchive(f.store).DoubleColorDraws();
    std::erase_if(holed, [](const rg_DrawEntry& d) {
      return d.issue == u"2026130" || d.issue == u"2026131";
    });
    rg_TrendWin holes(holed, f.window->MainFont(), f.window.get());
    holes.SetRange(0);
    holes.resize(holes.Chart()->width() + 60, 520);
    holes.show();
    QApplication::processEvents();
    ok &= holes.Stats().missingIssues.size() == 2;
    ok &= Save(&holes, out, QStringLiteral("trend-hole.png"));
  }

  {
    // 账本: a spring and summer of plays, a budget of 60 a month, one
    // 一等奖 whose amount is stored and one 二等奖 whose amount is not.
    WindowFixture l(false);
    rg_Settings(l.home.path() / "config.ini").Write(u"sys", u"budget", u"60");
    unsigned seed = 35;
    const auto next = [&seed] {
      return seed = seed * 1103515245u + 12345u, static_cast<int>((seed >> 16) & 0x7fff);
    };
    std::string csv = "issue,date,red,blue\n";
    int issue = 2024038;
    for (double day = MakeDate(2024, 4, 2); day <= MakeDate(2024, 7, 14); day = AddDays(day, 1)) {
      const int weekday = SplitDate(day).weekday;
      if (weekday != 1 && weekday != 3 && weekday != 5) continue;
      std::vector<int> reds;
      while (reds.size() < 6) {
        const int n = next() % 33 + 1;
        if (std::find(reds.begin(), reds.end(), n) == reds.end()) reds.push_back(n);
      }
      csv += std::to_string(issue++) + "," + ToUtf8(DrawDateText(day)) + "," + NumbersText(reds) +
             "," + NumbersText({next() % 16 + 1}) + "\n";
    }
    rg_DrawArchive(l.store).Import(kSsq, csv, MakeDate(2024, 7, 15));
    const rg_DrawIndex index(rg_DrawArchive(l.store).DoubleColorDraws());
    rg_PlayStore plays(l.store);
    int id = 0;
    for (double when = MakeDate(2024, 4, 3, 10); when < MakeDate(2024, 7, 18); when += 4) {
      rg_YsModel c = NumberCast(QStringLiteral("第%1次").arg(id + 1).toStdU16String());
      c.ysnumber = DecimalText(100 + id * 7);
      c.ysday = when;
      l.store.Save(c);
      ++id;
      const rg_DrawEntry* target = index.Target(when, false);
      rg_Play play;
      if (target != nullptr && (id == 9 || id == 20)) {
        // Six reds of its draw and one more; the 9th also has its blue.
        play.red = target->numbers;
        for (int n = 1; play.red.size() < 7; ++n) {
          if (std::find(play.red.begin(), play.red.end(), n) == play.red.end())
            play.red.push_back(n);
        }
        play.blue = {id == 9 ? target->extra[0] : target->extra[0] % 16 + 1};
      } else {
        while (play.red.size() < static_cast<std::size_t>(7 + id % 2)) {
          const int n = next() % 33 + 1;
          if (std::find(play.red.begin(), play.red.end(), n) == play.red.end())
            play.red.push_back(n);
        }
        play.blue = {next() % 16 + 1, next() % 16 + 1};
        if (play.blue[0] == play.blue[1]) play.blue.pop_back();
      }
      play.multiple = 1 + id % 2;
      if (PlayRefusal(play).empty()) plays.Add(id, play);
      if (target != nullptr && id == 9)
        rg_DrawPrizes(l.store).Set(kSsq, target->issue, {6'120'000, std::nullopt});
    }
    l.clock.Set(MakeDate(2024, 7, 15, 9));
    l.Create();
    l.window->Command(rg_HistoryPanel::Button::Ledger);
    rg_LedgerWin* ledger = l.window->LedgerWindow();
    ledger->resize(900, 780);
    QApplication::processEvents();
    ok &= ledger->Ledger().totals.figures.floatingUnknown > 0;
    ok &= Save(ledger, out, QStringLiteral("ledger-window.png"));
  }
  return ok ? 0 : 1;
}
