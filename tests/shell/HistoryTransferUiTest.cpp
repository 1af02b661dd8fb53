#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QListView>

#include <sys/stat.h>

#include <fstream>

#include "history/HistoryTransfer.h"
#include "shell/HistoryTransferUi.h"
#include "shell/MainPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "support/GuiTest.h"
#include "support/Records.h"
#include "ui/FileDialogs.h"

using namespace test_support;

namespace {

rg_YsModel Record(const std::u16string& name, const std::u16string& note) {
  rg_YsModel r = NumberCast(name, note);
  r.dong[2] = 1;
  return r;
}

constexpr auto Bytes = &test_support::FileBytes;

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Answers the file dialogs with a path (and a filter) of the test's choice.
struct FileAnswers {
  QString path;
  QString filter;
  int asked = 0;
  QString proposed;  // where the last dialog opened
  FileAnswers() {
    SetFileDialogHook(
        [this](QWidget*, bool, const QString&, const QString& at, const QString&, QString* chosen) {
          ++asked;
          proposed = at;
          if (chosen != nullptr && !filter.isEmpty()) *chosen = filter;
          return path;
        });
  }
  ~FileAnswers() { SetFileDialogHook({}); }
};

}  // namespace

TEST(HistoryTransferWindow, TheListsMenuExportsAndImports) {
  WindowFixture fx;
  Messages messages;
  FileAnswers files;
  ASSERT_TRUE(fx.store.Save(Record(u"甲,\"引号\"(2024年6月1日8时30分)", u"一行\r\n二行")));
  rg_HistoryPanel* panel = fx.window->MainPanel()->HistoryPanel();
  const QList<QAction*> actions = panel->List()->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("导出历史…"));
  EXPECT_EQ(actions[1]->text(), QStringLiteral("导入历史…"));
  EXPECT_EQ(actions[2]->text(), QStringLiteral("录入开奖…"));
  EXPECT_EQ(panel->List()->contextMenuPolicy(), Qt::ActionsContextMenu);

  // No suffix typed: the chosen filter decides, and gives the name its suffix.
  TempDir out;
  files.path = Q(out.path() / "saved");
  files.filter = QStringLiteral("JSON 文件 (*.json)");
  actions[0]->trigger();
  const std::string exported = Bytes(out.path() / "saved.json");
  const auto parsed = ReadHistoryFile(exported);
  ASSERT_TRUE(parsed) << parsed.error().message;
  ASSERT_EQ(parsed->size(), 1u);
  EXPECT_EQ(*(*parsed)[0].uinfo, u"一行\r\n二行");
  EXPECT_TRUE(messages.Last().startsWith(QStringLiteral("已保存到:")))
      << messages.Last().toStdString();

  // The same file again adds nothing; the dialog opens where the export went.
  files.path = Q(out.path() / "saved.json");
  actions[1]->trigger();
  EXPECT_EQ(messages.Last(), QStringLiteral("已导入 0 条历史记录,跳过 1 条已有的记录"));
  EXPECT_EQ(files.proposed, QFileInfo(Q(out.path() / "saved.json")).absolutePath());
  // Pictures keep a folder of their own: the home folder until one is chosen.
  EXPECT_EQ(ui::FolderFor(ui::FileKind::Picture), QDir::homePath());

  // Another store's casts are added and appear in the list.
  {
    TempDir otherHome;
    rg_EasyDb other;
    other.Open(otherHome.path());
    ASSERT_TRUE(other.Save(Record(u"乙", u"")));
    ASSERT_TRUE(other.Save(Record(u"丙", u"")));
    EXPECT_TRUE(ExportHistoryFile(other, Q(out.path() / "other.csv"), rg_HistoryFormat::Csv).ok);
  }
  files.path = Q(out.path() / "other.csv");
  actions[1]->trigger();
  EXPECT_EQ(messages.Last(), QStringLiteral("已导入 2 条历史记录"));
  ASSERT_EQ(panel->Model().rowCount(), 3);
  EXPECT_EQ(panel->Model().index(0).data().toString(), QStringLiteral("丙"));

  // A broken file: the reason with its line, and nothing written.
  std::ofstream(out.path() / "broken.csv", std::ios::binary)
      << "_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\r\n"
         "1,\"丁\",1,\"58\",45444,1,,,\"\",0,\r\n"
         "2,\"戊\",1,\"58\",1,1,,,\"\",0\r\n";
  files.path = Q(out.path() / "broken.csv");
  actions[1]->trigger();
  EXPECT_EQ(messages.Last(),
            QStringLiteral("导入失败,没有写入任何记录:\n第3行:应有 11 个字段,实有 10 个"));
  EXPECT_EQ(messages.shown.back().kind, ui::MessageKind::Critical);
  EXPECT_EQ(fx.store.List().size(), 3u);

  // Cancelled dialogs do nothing.
  const int shown = static_cast<int>(messages.shown.size());
  files.path.clear();
  actions[0]->trigger();
  actions[1]->trigger();
  EXPECT_EQ(messages.shown.size(), shown);
  EXPECT_EQ(files.asked, 6);
}

TEST(HistoryTransferWindow, FailuresAreSaidAndLeaveFilesAlone) {
  TempDir home;
  rg_EasyDb store;
  store.Open(home.path());
  ASSERT_TRUE(store.Save(Record(u"甲", u"")));

  const rg_TransferReport missingFolder =
      ExportHistoryFile(store, Q(home.path() / "no-such-folder" / "h.csv"), rg_HistoryFormat::Csv);
  EXPECT_FALSE(missingFolder.ok);
  EXPECT_TRUE(missingFolder.message.startsWith(QStringLiteral("无法保存到:")));
  EXPECT_TRUE(missingFolder.message.endsWith(QStringLiteral("原因:文件夹不存在")))
      << missingFolder.message.toStdString();

  // Nothing but a regular file is written over or read: a folder or a FIFO
  // is refused with the reason, and stays what it was.
  std::filesystem::create_directory(home.path() / "folder.csv");
  ASSERT_EQ(::mkfifo((home.path() / "fifo.csv").c_str(), 0600), 0);
  for (const char* name : {"folder.csv", "fifo.csv"}) {
    const rg_TransferReport refused =
        ExportHistoryFile(store, Q(home.path() / name), rg_HistoryFormat::Csv);
    EXPECT_FALSE(refused.ok) << name;
    EXPECT_TRUE(refused.message.contains(QStringLiteral("已存在")))
        << refused.message.toStdString();
    const rg_TransferReport unread = ImportHistoryFile(store, Q(home.path() / name));
    EXPECT_TRUE(unread.message.startsWith(QStringLiteral("导入失败:无法读取 "))) << name;
    EXPECT_FALSE(unread.message.contains(QStringLiteral("it is"))) << unread.message.toStdString();
  }
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "folder.csv"));
  EXPECT_TRUE(std::filesystem::is_fifo(home.path() / "fifo.csv"));

  const rg_TransferReport unreadable = ImportHistoryFile(store, Q(home.path() / "absent.json"));
  EXPECT_FALSE(unreadable.ok);
  EXPECT_TRUE(unreadable.message.startsWith(QStringLiteral("导入失败:无法读取 ")));

  rg_EasyDb closed;
  EXPECT_EQ(ExportHistoryFile(closed, Q(home.path() / "h.csv"), rg_HistoryFormat::Csv).message,
            QStringLiteral("导出失败:历史记录无法读取"));
  EXPECT_FALSE(std::filesystem::exists(home.path() / "h.csv"));

  EXPECT_EQ(FormatForFile(QStringLiteral("a.JSON"), QStringLiteral("CSV 文件 (*.csv)")),
            rg_HistoryFormat::Json);
  EXPECT_EQ(FormatForFile(QStringLiteral("a.csv"), QStringLiteral("JSON 文件 (*.json)")),
            rg_HistoryFormat::Csv);
  EXPECT_EQ(FormatForFile(QStringLiteral("a"), QStringLiteral("JSON 文件 (*.json)")),
            rg_HistoryFormat::Json);
  EXPECT_EQ(FormatForFile(QStringLiteral("a.txt"), QString()), rg_HistoryFormat::Csv);
}
