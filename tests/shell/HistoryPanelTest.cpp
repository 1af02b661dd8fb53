#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "derive/ResultText.h"
#include "history/Plays.h"
#include "history/SqlStatement.h"
#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/OptionGroup.h"
#include "shell/panels/QrBitmap.h"
#include "support/GuiTest.h"
#include "support/LockHolder.h"
#include "support/PanelsFixture.h"
#include "support/Records.h"

using namespace test_support;

namespace {

struct HistoryFixture : PanelsFixture {
  // Typed as the user would (QTest's key clicks know no Chinese).
  void TypeName(const QString& name) {
    auto* box = qobject_cast<QLineEdit*>(history()->Name()->Box());
    box->clear();
    box->insert(name);
  }
  void TypeNote(const QString& note) {
    auto* box = qobject_cast<QPlainTextEdit*>(history()->Note()->Box());
    box->clear();
    box->insertPlainText(note);
  }
  void Save(const QString& name, const QString& note = {}) {
    TypeName(name);
    if (!note.isEmpty()) TypeNote(note);
    QTest::mouseClick(history()->SaveButton(), Qt::LeftButton);
  }
  QStringList Names() {
    QStringList names;
    for (int i = 0; i < history()->Model().rowCount(); ++i) {
      names << history()->Model().index(i).data().toString();
    }
    return names;
  }
  void Tick(int row) {
    history()->Model().setData(history()->Model().index(row), Qt::Checked, Qt::CheckStateRole);
  }
  // A click on the item's check box, where the style draws it.
  void ClickTick(int row) {
    QListView* list = history()->List();
    QApplication::processEvents();  // lets the list lay out its items
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(history()->Model().index(row));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    ASSERT_TRUE(box.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
  }
};

}  // namespace

TEST(ResultPanel, SaveNeedsAResultAndANonBlankName) {
  HistoryFixture f;
  EXPECT_FALSE(f.history()->SaveButton()->isEnabled());
  EXPECT_FALSE(f.history()->QrButton()->isEnabled());
  // A name typed before the cast: saving is possible as soon as the
  // result is shown, and no longer once it is cleared.
  f.TypeName("甲");
  EXPECT_FALSE(f.history()->SaveButton()->isEnabled());
  f.CastNumber("58");
  EXPECT_TRUE(f.history()->QrButton()->isEnabled());
  EXPECT_TRUE(f.history()->SaveButton()->isEnabled());
  QTest::mouseClick(f.cast()->ResetButton(), Qt::LeftButton);
  EXPECT_FALSE(f.history()->SaveButton()->isEnabled());
  f.CastNumber("58");
  EXPECT_TRUE(f.history()->SaveButton()->isEnabled());
  f.TypeName("   ");
  EXPECT_FALSE(f.history()->SaveButton()->isEnabled());
  // Pressing it anyway with a blank name only shows the hint.
  f.history()->Press(rg_HistoryPanel::Button::Save);
  EXPECT_EQ(f.history()->Name()->LastHint(), "请输入保存的标题,标题将自动加上日期");
  EXPECT_TRUE(f.store.List().empty());
}

TEST(ResultPanel, SavedCastsAreListedNewestFirstWithTheirDate) {
  HistoryFixture f;
  f.CastNumber("58");
  f.Save("甲", "第一条备注");
  EXPECT_EQ(f.window->StatusPart(0)->text(), "保存成功");
  EXPECT_TRUE(f.history()->Name()->Text().isEmpty());
  EXPECT_TRUE(f.history()->Note()->Text().isEmpty());
  EXPECT_FALSE(f.history()->SaveButton()->isEnabled());

  f.clock.Set(MakeDate(2026, 12, 6));  // exactly midnight: no time part
  f.CastNumber("123");
  f.Save("乙");
  EXPECT_EQ(f.Names(), QStringList({"乙(2026年12月6日)", "甲(2024年6月1日8时30分)"}));
  const rg_YsModel first = test_support::StoredCast(f.store, f.history()->Model().Id(1));
  EXPECT_EQ(first.uinfo, u"第一条备注");
  EXPECT_EQ(first.ysnumber, u"58");
}

TEST(ResultPanel, AFailedSaveKeepsWhatWasTyped) {
  HistoryFixture f;
  f.CastNumber("58");
  f.store.Close();
  f.Save("甲", "备注");
  EXPECT_EQ(f.window->StatusPart(0)->text(), "保存失败:历史记录文件无法打开");
  EXPECT_EQ(f.history()->Name()->Text(), "甲");
  EXPECT_EQ(f.history()->Note()->Text(), "备注");
  EXPECT_TRUE(f.Names().isEmpty());
}

TEST(ResultPanel, ResetClearsTheResultAndTheNote) {
  HistoryFixture f;
  f.CastNumber("58");
  f.TypeNote("备注");
  f.TypeName("甲");
  QTest::mouseClick(f.cast()->ResetButton(), Qt::LeftButton);
  EXPECT_TRUE(f.history()->ResultBox()->Text().isEmpty());
  EXPECT_TRUE(f.history()->Note()->Text().isEmpty());
  EXPECT_EQ(f.history()->Name()->Text(), "甲");
  EXPECT_FALSE(f.history()->QrButton()->isEnabled());
}

TEST(HistoryPanel, SelectAllAndDeleteAskFirst) {
  HistoryFixture f;
  Messages messages;
  f.CastNumber("58");
  for (const char* name : {"一", "二", "三"}) f.Save(name);
  ASSERT_EQ(f.Names().size(), 3);
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());

  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  EXPECT_TRUE(f.history()->DeleteButton()->isEnabled());
  messages.answer = ui::Answer::No;
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  EXPECT_EQ(messages.Last(), "确定需要删除当前所选择的历史数据吗?");
  EXPECT_EQ(messages.shown.back().caption, "询问:");
  EXPECT_EQ(f.Names().size(), 3);

  messages.answer = ui::Answer::Yes;
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  f.WaitForDelete();
  EXPECT_TRUE(f.Names().isEmpty());
  EXPECT_TRUE(f.store.List().empty());
  // Both follow the now empty list.
  EXPECT_FALSE(f.history()->SelectAll()->isChecked());
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());
}

TEST(HistoryPanel, OnlyTickedItemsAreDeleted) {
  HistoryFixture f;
  Messages messages;
  f.CastNumber("58");
  for (const char* name : {"一", "二", "三", "四"}) f.Save(name);
  // Highlight 三 without ticking it; tick 四 and 二.
  f.history()->List()->setCurrentIndex(f.history()->Model().index(1));
  f.Tick(0);
  f.Tick(2);
  EXPECT_TRUE(f.history()->DeleteButton()->isEnabled());
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  f.WaitForDelete();
  EXPECT_EQ(f.Names().size(), 2);
  EXPECT_TRUE(f.Names()[0].startsWith("三"));
  EXPECT_TRUE(f.Names()[1].startsWith("一"));
  EXPECT_EQ(f.store.List().size(), 2u);
}

TEST(HistoryPanel, DeleteAndSelectAllFollowTheTicksClickedByHand) {
  HistoryFixture f;
  Messages messages;
  f.CastNumber("58");
  for (const char* name : {"一", "二", "三"}) f.Save(name);
  rg_HistoryModel& model = f.history()->Model();
  const auto state = [&] {
    return std::make_pair(f.history()->DeleteButton()->isEnabled(),
                          f.history()->SelectAll()->isChecked());
  };
  // A highlight alone is no tick: 删除 stays grey.
  const QRect middle = f.history()->List()->visualRect(model.index(1));
  QTest::mouseClick(f.history()->List()->viewport(), Qt::LeftButton, {}, middle.center());
  ASSERT_EQ(f.history()->SelectedId(), model.Id(1));
  EXPECT_EQ(state(), std::make_pair(false, false));

  struct Step {
    int row;
    bool checked, deleteEnabled, allTicked;
  };
  const Step steps[] = {
      {0, true, true, false},  {2, true, true, false},  {1, true, true, true},
      {0, false, true, false}, {2, false, true, false}, {1, false, false, false},
      {0, true, true, false},  {2, true, true, false},
  };
  for (const Step& step : steps) {
    f.ClickTick(step.row);
    SCOPED_TRACE(step.row);
    EXPECT_EQ(model.Checked(step.row), step.checked);
    EXPECT_EQ(state(), std::make_pair(step.deleteEnabled, step.allTicked));
  }
  // 全选 still ticks and unticks them all.
  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  EXPECT_EQ(state(), std::make_pair(true, true));
  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  EXPECT_EQ(state(), std::make_pair(false, false));
  EXPECT_FALSE(model.AnyChecked());

  f.ClickTick(0);
  f.ClickTick(2);
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  f.WaitForDelete();
  ASSERT_EQ(f.Names().size(), 1);
  EXPECT_TRUE(f.Names()[0].startsWith("二"));
  EXPECT_EQ(f.window->StatusPart(0)->text(), "已删除2条历史记录");
  EXPECT_EQ(state(), std::make_pair(false, false));
  // With nothing ticked there is nothing to ask about.
  const auto asked = messages.shown.size();
  f.history()->Press(rg_HistoryPanel::Button::Delete);
  EXPECT_EQ(messages.shown.size(), asked);
  EXPECT_EQ(f.Names().size(), 1);
}

// 删除 of the ticked casts runs off the window's thread: while it runs the
// window answers and 删除 waits; a failure keeps every item and says so,
// a success takes the items and their plays.
TEST(HistoryPanel, TickedCastsGoWithTheirPlaysWhileTheWindowAnswers) {
  HistoryFixture f;
  f.CastNumber("58");
  for (const char* name : {"一", "二", "三"}) f.Save(name);
  const rg_Play play{{}, {1, 2, 3, 4, 5, 6}, {7}, 1};
  rg_PlayStore plays(f.store);
  for (const int row : {0, 0, 2}) ASSERT_TRUE(plays.Add(f.history()->Model().Id(row), play));
  const auto file = rg_EasyDb::FileIn(f.home.path());
  // Another program takes the file as the question is answered.
  std::optional<test_support::LockHolder> lock;
  bool lockOnAnswer = true;
  QList<QPair<QString, ui::MessageKind>> shown;
  Messages restoresTheBoxes;
  ui::SetMessageHook([&](QWidget*, const QString& text, const QString&, ui::MessageKind kind) {
    shown.append({text, kind});
    if (kind == ui::MessageKind::Question && lockOnAnswer) lock.emplace(file);
    return kind == ui::MessageKind::Question ? ui::Answer::Yes : ui::Answer::Ok;
  });
  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown[0].first, "确定需要删除当前所选择的历史数据吗?\n所选记录的3个投注也将一并删除。");
  ASSERT_TRUE(lock && lock->Locked());

  ASSERT_TRUE(f.window->DeleteRunning());
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());
  EXPECT_EQ(f.window->StatusPart(0)->text(), "正在删除3条历史记录…");
  bool answered = false;
  QTimer::singleShot(0, [&] { answered = true; });
  QTRY_VERIFY_WITH_TIMEOUT(answered, 1000);
  f.history()->Press(rg_HistoryPanel::Button::Delete);  // a second press waits its turn
  EXPECT_EQ(shown.size(), 1);
  EXPECT_EQ(f.Names().size(), 3);

  f.WaitForDelete();
  EXPECT_EQ(f.Names().size(), 3);
  EXPECT_TRUE(f.history()->Model().AllChecked());
  EXPECT_TRUE(f.history()->DeleteButton()->isEnabled());
  const QString failed = "删除失败,未删除任何记录:历史记录文件正被其他程序使用,请稍后再试";
  EXPECT_EQ(f.window->StatusPart(0)->text(), failed);
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[1], qMakePair(failed, ui::MessageKind::Critical));
  lock.reset();
  EXPECT_EQ(f.store.List().size(), 3u);
  EXPECT_EQ(plays.List().size(), 3u);

  lockOnAnswer = false;
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  f.WaitForDelete();
  EXPECT_TRUE(f.Names().isEmpty());
  EXPECT_TRUE(f.store.List().empty());
  EXPECT_TRUE(plays.List().empty());
  EXPECT_EQ(f.window->StatusPart(0)->text(), "已删除3条历史记录");
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());
  EXPECT_FALSE(f.history()->SelectAll()->isChecked());
}

TEST(HistoryPanel, ADeleteThatFailsKeepsItsItem) {
  HistoryFixture f;
  Messages messages;
  f.CastNumber("58");
  f.Save("一");
  f.Tick(0);
  f.store.Close();
  f.window->MainPanel()->HistoryPanel()->Press(rg_HistoryPanel::Button::Delete);
  EXPECT_EQ(f.Names().size(), 1);
  EXPECT_EQ(f.window->StatusPart(0)->text(), "删除失败:历史记录文件无法打开");
}

TEST(HistoryPanel, AnEmptyListKeepsDeleteDisabled) {
  HistoryFixture f;
  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());
  EXPECT_EQ(f.history()->List()->toolTip(), "双击复盘查看");
}

TEST(HistoryPanel, ReviewRecastsEachMethod) {
  HistoryFixture f;
  // A number cast keeps its saved moment at the review.
  f.CastNumber("58");
  f.Save("数字");
  // A time cast keeps its time and number.
  f.cast()->MethodChoice()->Select(3);
  f.cast()->TimeOptions()->Choose(1);
  f.cast()->ZodiacChoice()->Select(5);
  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);
  const std::u16string timeNumber = f.gua()->Report().Analysis().numberText;
  const std::u16string timeReading = f.gua()->Report().Reading();
  f.Save("时间");
  // A hand cast keeps its lines and time.
  f.cast()->MethodChoice()->Select(2);
  f.cast()->ZodiacChoice()->Select(7);
  f.cast()->Request().upstr = u"010";
  f.cast()->Request().downstr = u"101";
  f.cast()->Request().dong = {1, 0, 0, -1, 0, 0};
  f.cast()->Request().castTime = MakeDate(2024, 5, 30, 9, 15, 4);
  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);
  const std::u16string handReading = f.gua()->Report().Reading();
  f.Save("装卦");
  ASSERT_EQ(f.Names().size(), 3);

  f.clock.Set(MakeDate(2025, 1, 2, 23, 40));
  f.TypeNote("会被清掉");
  const auto review = [&](int row) {
    QApplication::processEvents();  // lets the list lay out its items
    const QRect rect = f.history()->List()->visualRect(f.history()->Model().index(row));
    ASSERT_TRUE(rect.isValid());
    // A real double-click: a click, then the second press.
    QTest::mouseClick(f.history()->List()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(f.history()->List()->viewport(), Qt::LeftButton, {}, rect.center());
  };
  review(0);
  EXPECT_EQ(f.gua()->Report().Reading(), handReading);
  EXPECT_EQ(f.cast()->MethodChoice()->CurrentIndex(), 2);
  EXPECT_EQ(f.cast()->ZodiacChoice()->CurrentIndex(), 7);
  EXPECT_TRUE(f.history()->Note()->Text().isEmpty());
  EXPECT_EQ(f.window->StatusPart(0)->text(), "按卦主生肖与自己装载线下卦测算");

  review(1);
  EXPECT_EQ(f.gua()->Report().Analysis().numberText, timeNumber);
  EXPECT_EQ(f.gua()->Report().Reading(), timeReading);
  ASSERT_NE(f.cast()->TimeOptions(), nullptr);
  EXPECT_EQ(f.cast()->TimeOptions()->Checked(), 1);

  review(2);
  EXPECT_EQ(f.gua()->Report().Analysis().castTime, MakeDate(2024, 6, 1, 8, 30, 0, 125));
  ASSERT_NE(f.cast()->NumberEntry(), nullptr);
  EXPECT_EQ(f.cast()->NumberEntry()->text(), "58");
  EXPECT_EQ(f.gua()->Report().Header().substr(0, 7), u"以数字58起卦");
  EXPECT_FALSE(f.history()->ResultBox()->Text().isEmpty());
}

TEST(HistoryPanel, ADamagedRowIsListedButNeverReviewedOrChecked) {
  HistoryFixture f;
  f.CastNumber("58");
  f.Save("好");
  ASSERT_TRUE(ExecuteSql(
      f.store.Handle(),
      u"INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
      u"VALUES ('坏',1,'12abc',45444.5,99,'','','0,0,0,0,0,0',0,'');"));
  f.window->FillHistory();
  ASSERT_EQ(f.Names().size(), 2);
  EXPECT_EQ(f.Names()[0], "坏");
  const std::u16string reading = f.gua()->Report().Reading();
  const QString result = f.history()->ResultBox()->Text();
  const int method = f.cast()->MethodChoice()->CurrentIndex();
  QApplication::processEvents();
  const QRect rect = f.history()->List()->visualRect(f.history()->Model().index(0));
  QTest::mouseClick(f.history()->List()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(f.history()->List()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(f.window->StatusPart(0)->text(), "该历史记录已损坏,无法复盘");
  EXPECT_EQ(f.gua()->Report().Reading(), reading);
  EXPECT_EQ(f.history()->ResultBox()->Text(), result);
  EXPECT_EQ(f.cast()->MethodChoice()->CurrentIndex(), method);
  // 对奖 on the highlighted damaged row says the same and opens nothing.
  f.window->ShowStatus({});
  QTest::mouseClick(f.history()->CheckButton(), Qt::LeftButton);
  EXPECT_EQ(f.window->StatusPart(0)->text(), "该历史记录已损坏,无法复盘");
  EXPECT_EQ(f.window->CheckWindow(), nullptr);
}

TEST(HistoryPanel, ReviewingAVanishedRecordDoesNothing) {
  HistoryFixture f;
  f.CastNumber("58");
  f.Save("一");
  const std::int64_t id = f.history()->Model().Id(0);
  f.store.Delete(id);
  const std::u16string before = f.gua()->Report().Reading();
  f.window->Review(id);
  EXPECT_EQ(f.gua()->Report().Reading(), before);
}

// "24,25" never reads "2" / "5": lines break only after a comma, and the
// text itself (read, copied, encoded) stays as it was.
TEST(ResultPanel, NumbersWrapOnlyBetweenNumbers) {
  HistoryFixture f;
  f.CastNumber("58");
  const QString text = ui::Q(ResultTextFor(f.gua()->Report().Analysis()));
  ASSERT_TRUE(text.contains(QRegularExpression("\\d,\\d"))) << text.toStdString();
  EXPECT_EQ(f.history()->ResultBox()->Text(), text);
  auto* box = qobject_cast<QPlainTextEdit*>(f.history()->ResultBox()->Box());
  for (const int width : {box->width(), 260, 170}) {
    box->resize(width, box->height());
    QApplication::processEvents();
    int wrapped = 0;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
      const QString line = block.text();
      QTextLayout* layout = block.layout();
      for (int i = 1; i < layout->lineCount(); ++i) {
        const int at = layout->lineAt(i).textStart();
        ++wrapped;
        EXPECT_FALSE(line[at - 1].isDigit() && line[at].isDigit())
            << width << ": " << line.left(at).toStdString() << " / " << line.mid(at).toStdString();
      }
    }
    if (width == 170) {
      EXPECT_GT(wrapped, 0);
    }
  }
  // Copied as it reads, without the break marks.
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
  QString expected = text;
  expected.replace("\r\n", "\n");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
  EXPECT_EQ(f.history()->ResultBox()->Text(), text);
}

TEST(QrView, TheButtonTogglesThePicture) {
  HistoryFixture f;
  f.history()->Press(rg_HistoryPanel::Button::Qr);  // no result yet: nothing
  EXPECT_EQ(f.history()->Picture(), nullptr);
  f.CastNumber("58");
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  EXPECT_EQ(f.history()->QrButton()->text(), "隐藏二维码");
  EXPECT_EQ(f.history()->Picture()->geometry(), f.history()->ResultBox()->geometry());
  const QPixmap picture = f.history()->Picture()->pixmap();
  int width = 0;
  QrModules(f.history()->ResultBox()->Text().toStdString(), width);
  // As many whole pixels per module as fit the box.
  const int factor =
      std::min(f.history()->Picture()->width(), f.history()->Picture()->height()) / width;
  ASSERT_GE(factor, 2);
  EXPECT_EQ(picture.width(), width * factor);
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  EXPECT_EQ(f.history()->Picture(), nullptr);
  EXPECT_EQ(f.history()->QrButton()->text(), "用手机查看");
}

TEST(QrView, ATooLongTextSaysSoInsteadOfAnEmptyBox) {
  HistoryFixture f;
  f.history()->ResultBox()->SetText(QString(8000, QChar(u'号')));
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  EXPECT_TRUE(f.history()->Picture()->pixmap().isNull());
  EXPECT_FALSE(f.history()->Picture()->text().isEmpty());
}

// The encoder is loaded with the first code; a library that cannot be
// loaded is said as such, not as a text too long.
TEST(QrView, WithoutTheEncoderLibraryTheBoxSaysWhy) {
  if (Mapped("libqrencode")) GTEST_SKIP() << "an earlier test in this process made a QR code";
  ::setenv(kQrLibraryVariable, "libxyh-no-such-qrencode.so.4", 1);
  HistoryFixture f;
  f.CastNumber("58");
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  EXPECT_TRUE(f.history()->Picture()->pixmap().isNull());
  const QString text = f.history()->Picture()->text();
  EXPECT_TRUE(text.startsWith("二维码组件无法加载,无法生成二维码。\n原因:")) << text.toStdString();
  EXPECT_TRUE(text.contains("libxyh-no-such-qrencode.so.4")) << text.toStdString();
  EXPECT_EQ(f.history()->Picture()->textFormat(), Qt::PlainText);
  int width = -1;
  EXPECT_FALSE(QrAvailable());
  EXPECT_TRUE(QrModules("58", width).empty());
  EXPECT_EQ(width, 0);
  EXPECT_TRUE(QrBitmap("58").empty());
}

TEST(Help, OpensTheHelpBesideTheProgramOrSaysItIsMissing) {
  HistoryFixture f;
  Messages messages;
  OpenedDocuments opened;
  const QString help = rg_XyhWin::FindHelp();
  ASSERT_TRUE(QFileInfo(help).isFile()) << help.toStdString();
  QTest::mouseClick(f.history()->HelpButton(), Qt::LeftButton);
  ASSERT_EQ(opened.paths.size(), 1);
  EXPECT_TRUE(opened.paths[0].endsWith("help.html"));
  EXPECT_TRUE(messages.shown.isEmpty());

  // F1 opens it as well, wherever the focus is.
  f.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
  QTest::keyClick(f.history()->Note()->Box(), Qt::Key_F1);
  ASSERT_EQ(opened.paths.size(), 2);
  EXPECT_EQ(opened.paths[1], opened.paths[0]);

  // The file is there, but nothing can show it: said so, with where it is.
  opened.succeed = false;
  QTest::mouseClick(f.history()->HelpButton(), Qt::LeftButton);
  EXPECT_EQ(messages.Last(), "无法打开帮助:系统没有可用的浏览器\n帮助文件:" + help);
  EXPECT_EQ(messages.shown.back().kind, ui::MessageKind::Critical);
}

TEST(ResultPanel, LayoutFromTheMeasuredCharacter) {
  HistoryFixture f;
  const QSize unit = ui::CharExtent(f.window->MainFont(), "框");
  const int w = unit.width();
  const int h = unit.height();
  rg_HistoryPanel* p = f.history();
  EXPECT_EQ(p->List()->geometry(), QRect(0, 0, p->width(), 8 * h));
  EXPECT_EQ(p->SelectAll()->geometry(), QRect(0, 8 * h + 10, 4 * w, 2 * h));
  EXPECT_EQ(p->DeleteButton()->geometry(), QRect(4 * w + 10, 8 * h + 10, 3 * w, 2 * h));
  EXPECT_EQ(p->ResultBox()->geometry(), QRect(0, 10 * h + 20, p->width(), 16 * h));
  EXPECT_EQ(p->QrButton()->geometry(), QRect(p->width() - 6 * w - 10, 26 * h + 30, 6 * w, 2 * h));
  EXPECT_EQ(p->Note()->y(), 28 * h + 40);
  EXPECT_EQ(p->Name()->y(), p->Note()->geometry().bottom() + 1 + 10);
  EXPECT_EQ(p->Name()->height(), h + 8);
  // 保存 帮助 对奖 投注 走势 账本 share the row, each at most five characters wide.
  const int button = std::min(5 * w, (p->width() - 5 * 10) / 6);
  EXPECT_EQ(p->SaveButton()->geometry(),
            QRect(0, p->Name()->geometry().bottom() + 1 + 10, button, 2 * h));
  EXPECT_EQ(p->HelpButton()->x(), button + 10);
  EXPECT_EQ(p->LedgerButton()->x(), 5 * (button + 10));
  EXPECT_LE(p->SaveButton()->geometry().bottom(), p->height());
}
