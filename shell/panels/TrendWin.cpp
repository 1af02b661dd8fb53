#include "shell/panels/TrendWin.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "history/EasyDb.h"
#include "shell/panels/BarChartModule.h"
#include "shell/panels/TrendChart.h"
#include "ui/FileDialogs.h"
#include "ui/ScreenFit.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

QString Two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString NumberList(const std::array<int, kHotColdSize>& numbers) {
  QStringList out;
  for (int n : numbers) out << Two(n);
  return out.join(QLatin1Char(' '));
}

template <std::size_t N>
std::vector<int> Column(const std::array<rg_NumberStat, N>& stats, int rg_NumberStat::*field) {
  std::vector<int> out;
  out.reserve(N);
  for (const rg_NumberStat& stat : stats) out.push_back(stat.*field);
  return out;
}

}  // namespace

rg_TrendWin::rg_TrendWin(std::vector<rg_DrawEntry> draws, const QFont& font, QWidget* parent)
    : QWidget(parent, Qt::Window),
      range_(new QComboBox(this)),
      export_(new QPushButton(QStringLiteral("导出图片"), this)),
      enter_(new QPushButton(QStringLiteral("录入开奖"), this)),
      import_(new QPushButton(QStringLiteral("导入开奖…"), this)),
      summary_(new QLabel(this)),
      status_(new QLabel(this)),
      stack_(new QStackedWidget(this)),
      empty_(new QLabel(this)),
      tabs_(new QTabWidget(this)),
      area_(new QScrollArea(this)),
      chart_(new rg_TrendChart) {
  setWindowTitle(QStringLiteral("走势 - 双色球"));
  setFont(font);
  FillControls();
  QHBoxLayout* bar = MakeBar();
  BuildPages(font);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(stack_, 1);
  layout->addWidget(status_);
  ConnectControls();

  draws_ = std::move(draws);
  range_->blockSignals(true);
  range_->setCurrentIndex(kDefaultRange);
  range_->blockSignals(false);
  Recompute();

  // Wide enough for the whole chart where the screen allows.
  ui::OpenWithinScreen(
      this,
      QSize(chart_->sizeHint().width() + area_->verticalScrollBar()->sizeHint().width() + 40, 800));
}

void rg_TrendWin::FillControls() {
  for (int r : kRanges)
    range_->addItem(r == 0 ? QStringLiteral("全部") : QStringLiteral("最近%1期").arg(r));
  summary_->setTextFormat(Qt::PlainText);
  status_->setTextFormat(Qt::PlainText);
  empty_->setTextFormat(Qt::PlainText);
  empty_->setAlignment(Qt::AlignCenter);
  empty_->setWordWrap(true);
  empty_->setText(
      QStringLiteral("还没有保存任何双色球开奖数据,无法统计走势。\n"
                     "联网刷新最新开奖后会自动保存,也可以点上方的“录入开奖”逐期录入,"
                     "或点“导入开奖…”导入开奖文件(CSV)。"));
  enter_->setToolTip(QStringLiteral("录入一期未收录的开奖号码"));
  import_->setToolTip(
      QStringLiteral("导入开奖文件(CSV,首行 issue,date,red,blue),与 xyh-cli draws import 相同"));
}

// The range, the export button and the summary on one line.
QHBoxLayout* rg_TrendWin::MakeBar() {
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("范围:"), this));
  bar->addWidget(range_);
  bar->addSpacing(10);
  bar->addWidget(export_);
  bar->addWidget(enter_);
  bar->addWidget(import_);
  bar->addSpacing(10);
  bar->addWidget(summary_, 1);
  return bar;
}

// The chart tab and the two bar tabs (filled when first shown), behind the
// page that says there are no draws.
void rg_TrendWin::BuildPages(const QFont& font) {
  chart_->setFont(font);
  area_->setWidget(chart_);
  area_->setWidgetResizable(false);
  area_->setBackgroundRole(QPalette::Base);
  tabs_->addTab(area_, QStringLiteral("走势图"));

  countPage_ = new QWidget;
  omissionPage_ = new QWidget;
  new QVBoxLayout(countPage_);
  new QVBoxLayout(omissionPage_);
  tabs_->addTab(countPage_, QStringLiteral("出现次数"));
  tabs_->addTab(omissionPage_, QStringLiteral("当前遗漏"));

  stack_->addWidget(empty_);
  stack_->addWidget(tabs_);
}

void rg_TrendWin::ConnectControls() {
  // The newest draws are at the bottom: the chart opens there and stays
  // there as it grows, until the user scrolls.
  connect(area_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
    if (stickToBottom_) area_->verticalScrollBar()->setValue(max);
  });
  connect(area_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this] { stickToBottom_ = false; });
  connect(range_, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index != TrendPage) BuildBars();
  });
  connect(export_, &QPushButton::clicked, this, &rg_TrendWin::AskAndExport);
  chart_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(chart_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (QMenu* menu = RowMenu(at)) menu->popup(chart_->mapToGlobal(at));
  });
  connect(enter_, &QPushButton::clicked, this, &rg_TrendWin::enterDraw);
  connect(import_, &QPushButton::clicked, this, &rg_TrendWin::importDraws);
}

void rg_TrendWin::BuildBars() {
  if (views_[0] != nullptr || barsMissing_[0] != nullptr) return;
  QString error;
  bars_ = LoadBarCharts(&error);
  if (bars_ == nullptr) {
    // The trend chart does without the module; the bar tabs say plainly
    // that their charts are missing.
    for (int i = 0; i < 2; ++i) {
      barsMissing_[i] =
          new QLabel(QStringLiteral("柱状图组件无法加载,无法显示柱状图。\n原因:") + error);
      barsMissing_[i]->setTextFormat(Qt::PlainText);
      barsMissing_[i]->setAlignment(Qt::AlignCenter);
      barsMissing_[i]->setWordWrap(true);
    }
    countPage_->layout()->addWidget(barsMissing_[0]);
    omissionPage_->layout()->addWidget(barsMissing_[1]);
    return;
  }
  // Charts take a while to build; the trend chart is shown first without them.
  views_[0] = bars_->make(QStringLiteral("红球出现次数"), false, kRedCount, font());
  views_[1] = bars_->make(QStringLiteral("蓝球出现次数"), true, kBlueCount, font());
  views_[2] = bars_->make(QStringLiteral("红球当前遗漏"), false, kRedCount, font());
  views_[3] = bars_->make(QStringLiteral("蓝球当前遗漏"), true, kBlueCount, font());
  countPage_->layout()->addWidget(views_[0]);
  countPage_->layout()->addWidget(views_[1]);
  omissionPage_->layout()->addWidget(views_[2]);
  omissionPage_->layout()->addWidget(views_[3]);
  static_cast<QVBoxLayout*>(countPage_->layout())->setStretch(0, 3);
  static_cast<QVBoxLayout*>(countPage_->layout())->setStretch(1, 2);
  static_cast<QVBoxLayout*>(omissionPage_->layout())->setStretch(0, 3);
  static_cast<QVBoxLayout*>(omissionPage_->layout())->setStretch(1, 2);
  FillBars();
}

void rg_TrendWin::FillBars() {
  if (views_[0] == nullptr || stats_ == nullptr) return;
  const std::vector<int> columns[4] = {Column(stats_->red, &rg_NumberStat::count),
                                       Column(stats_->blue, &rg_NumberStat::count),
                                       Column(stats_->red, &rg_NumberStat::omission),
                                       Column(stats_->blue, &rg_NumberStat::omission)};
  for (int i = 0; i < 4; ++i)
    bars_->fill(views_[i], columns[i].data(), static_cast<int>(columns[i].size()));
}

std::vector<int> rg_TrendWin::Bars(int index) {
  BuildBars();
  if (views_[index] == nullptr) return {};
  std::vector<int> out(static_cast<std::size_t>(std::max(kRedCount, kBlueCount)));
  out.resize(static_cast<std::size_t>(
      bars_->values(views_[index], out.data(), static_cast<int>(out.size()))));
  return out;
}

rg_TrendWin* rg_TrendWin::Open(QWidget* owner, rg_EasyDb& store, const QFont& font) {
  const rg_DrawArchive archive(store, DrawWording::Chinese);
  std::vector<rg_DrawEntry> draws = archive.DoubleColorDraws();
  // Figures over part of the draws would be wrong without a word.
  const rg_StoreStatus status = archive.LastStatus();
  if (status != rg_StoreStatus::Ok && status != rg_StoreStatus::NotConnected) {
    const QString why = archive.BadRow().empty() ? ui::Q(StoreStatusText(status))
                                                 : QStringLiteral("开奖记录已损坏:") +
                                                       QString::fromStdString(archive.BadRow());
    ui::ShowMessage(owner, QStringLiteral("走势图不能打开:\n") + why, QStringLiteral("错误:"),
                    ui::MessageKind::Critical);
    return nullptr;
  }
  rg_TrendWin* win = owner->findChild<rg_TrendWin*>(QString(), Qt::FindDirectChildrenOnly);
  if (win != nullptr) {
    win->SetDraws(std::move(draws));
  } else {
    win = new rg_TrendWin(std::move(draws), font, owner);
    win->setAttribute(Qt::WA_DeleteOnClose);
  }
  win->show();
  win->raise();
  win->activateWindow();
  return win;
}

QMenu* rg_TrendWin::RowMenu(const QPoint& at) {
  // The header row stays at the top of the view over whatever row lies
  // beneath it: a click there is on the header.
  if (stats_ == nullptr || at.y() - area_->verticalScrollBar()->value() < chart_->RowHeight())
    return nullptr;
  const int row = chart_->DrawRowAt(at.y());
  if (row < 0 || row >= static_cast<int>(stats_->perDraw.size())) return nullptr;
  const QString issue = ui::Q(stats_->perDraw[static_cast<std::size_t>(row)].issue);
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("修改第%1期…").arg(issue), this,
                  [this, issue] { emit correctDraw(issue); });
  menu->addAction(QStringLiteral("删除第%1期…").arg(issue), this,
                  [this, issue] { emit deleteDraw(issue); });
  return menu;
}

void rg_TrendWin::SetDraws(std::vector<rg_DrawEntry> draws) {
  draws_ = std::move(draws);
  Recompute();
}

void rg_TrendWin::SetRange(int index) {
  if (index < 0 || index >= range_->count()) return;
  if (index == range_->currentIndex()) {
    Recompute();
  } else {
    range_->setCurrentIndex(index);  // recomputes through the signal
  }
}

bool rg_TrendWin::ShowsCharts() const { return stack_->currentWidget() == tabs_; }

void rg_TrendWin::Recompute() {
  const int index = std::clamp(range_->currentIndex(), 0, static_cast<int>(std::size(kRanges)) - 1);
  stats_ = std::make_shared<const rg_DrawStats>(
      ComputeDrawStats(draws_, static_cast<std::size_t>(kRanges[index])));
  status_->clear();
  const bool any = !stats_->Empty();
  stack_->setCurrentWidget(any ? static_cast<QWidget*>(tabs_) : empty_);
  range_->setEnabled(any);
  export_->setEnabled(any);
  if (!any) {
    summary_->clear();
    chart_->SetStats(stats_);
    return;
  }
  // The holes first: an omission counted over them is short.
  const auto missing = static_cast<int>(stats_->missingIssues.size());
  summary_->setText(
      QStringLiteral("共%1期(第%2期至第%3期)%4   热号: %5   冷号: %6")
          .arg(stats_->draws)
          .arg(ui::Q(stats_->FirstIssue()), ui::Q(stats_->LastIssue()),
               missing > 0 ? QStringLiteral("   缺%1期未收录").arg(missing) : QString(),
               NumberList(stats_->hot), NumberList(stats_->cold)));
  QStringList holes;
  for (const std::u16string& issue : stats_->missingIssues) holes << ui::Q(issue);
  summary_->setToolTip(missing > 0 ? QStringLiteral("未收录: ") + holes.join(QLatin1Char(' '))
                                   : QString());
  stickToBottom_ = true;
  chart_->SetStats(stats_);
  area_->verticalScrollBar()->setValue(area_->verticalScrollBar()->maximum());
  FillBars();
}

bool rg_TrendWin::ExportImage(const QString& path, QString* message) {
  const auto say = [message](const QString& text) {
    if (message != nullptr) *message = text;
  };
  if (!ShowsCharts()) {
    say(QStringLiteral("没有可导出的图表"));
    return false;
  }
  QImage image;
  int rows = stats_->draws;
  if (tabs_->currentIndex() == TrendPage) {
    image = chart_->Render(&rows);
  } else {
    image = tabs_->currentWidget()->grab().toImage();
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG")) {
    say(ui::NotSavedText(path, QStringLiteral("图片无法生成")));
    return false;
  }
  QString saved;
  if (!ui::SaveUserFile(path, png, &saved)) {
    say(saved);
    return false;
  }
  say(rows < stats_->draws ? saved + QStringLiteral("\n整张图太高,已保存最近%1期的走势图").arg(rows)
                           : saved);
  return true;
}

void rg_TrendWin::AskAndExport() {
  static const QString kNames[] = {QStringLiteral("走势图"), QStringLiteral("出现次数"),
                                   QStringLiteral("当前遗漏")};
  const QString suggested =
      QStringLiteral("双色球%1-%2.png")
          .arg(kNames[std::clamp(tabs_->currentIndex(), 0, 2)], ui::Q(stats_->LastIssue()));
  QString path = ui::AskSaveFile(this, ui::FileKind::Picture, QStringLiteral("导出图片"), suggested,
                                 QStringLiteral("PNG 图片 (*.png)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) != 0)
    path += QStringLiteral(".png");
  QString message;
  if (ExportImage(path, &message)) {
    ui::RememberFolder(ui::FileKind::Picture, path);
    status_->setText(message);
  } else {
    status_->clear();
    ui::TellSaved(this, false, message);
  }
}

}  // namespace rg_com_ptl_xyh
