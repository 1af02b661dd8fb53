#include "shell/panels/LedgerWin.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

#include "history/EasyDb.h"
#include "shell/panels/LedgerChartModule.h"
#include "ui/FileDialogs.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QStringList kHeader = {
    QStringLiteral("期间"),     QStringLiteral("注单"),         QStringLiteral("注数"),
    QStringLiteral("投入(元)"), QStringLiteral("中奖(元)"),     QStringLiteral("盈亏(元)"),
    QStringLiteral("最高奖级"), QStringLiteral("浮动奖未录入"), QStringLiteral("预算")};
const QColor kOverBudget(0xfb, 0xe3, 0xe3);

QString Yuan(std::int64_t yuan) { return QString::fromStdString(GroupedYuan(yuan)); }

// A day count as the chart's x: noon UTC of that day in ms since 1970, so
// the axis shows the same date in any time zone within twelve hours.
double ChartX(double day) {
  constexpr double kUnixEpochDay = 25569.0;  // 1970-01-01 as a day count
  return (std::floor(day) + 0.5 - kUnixEpochDay) * 86'400'000.0;
}

}  // namespace

rg_LedgerWin::rg_LedgerWin(const QFont& font, QWidget* parent)
    : QWidget(parent, Qt::Window),
      by_(new QComboBox(this)),
      export_(new QPushButton(QStringLiteral("导出CSV"), this)),
      table_(new QTableWidget(this)),
      totals_(new QLabel(this)),
      status_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("账本 - 双色球投注"));
  setFont(font);
  by_->addItems({QStringLiteral("按期"), QStringLiteral("按月"), QStringLiteral("按年")});
  by_->setCurrentIndex(1);
  totals_->setTextFormat(Qt::PlainText);
  totals_->setWordWrap(true);
  status_->setTextFormat(Qt::PlainText);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* bar = new QHBoxLayout;
  auto* byLabel = new QLabel(QStringLiteral("统计方式:"), this);
  bar->addWidget(byLabel);
  bar->addWidget(by_);
  bar->addStretch(1);
  bar->addWidget(export_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(table_, 3);
  layout->addWidget(totals_);
  QString why;
  api_ = LoadLedgerChart(&why);
  if (api_ != nullptr) {
    chart_ = api_->make(font);
    chart_->setParent(this);
    layout->addWidget(chart_, 4);
  } else {
    chartMissing_ = new QLabel(QStringLiteral("图表组件无法加载,不能显示累计图:") + why, this);
    chartMissing_->setTextFormat(Qt::PlainText);
    chartMissing_->setWordWrap(true);
    layout->addWidget(chartMissing_);
  }
  layout->addWidget(status_);
  connect(by_, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
  connect(export_, &QPushButton::clicked, this, &rg_LedgerWin::AskAndExport);
  QSize size(860, 760);
  if (const QScreen* screen = this->screen()) size = size.boundedTo(screen->availableSize());
  resize(size);
}

rg_LedgerWin* rg_LedgerWin::Open(QWidget* owner, rg_EasyDb& store,
                                 std::optional<std::int64_t> budget, const QFont& font) {
  auto* win = owner->findChild<rg_LedgerWin*>(QString(), Qt::FindDirectChildrenOnly);
  if (win == nullptr) {
    win = new rg_LedgerWin(font, owner);
    win->setAttribute(Qt::WA_DeleteOnClose);
  }
  win->Reload(store, budget);
  win->show();
  win->raise();
  win->activateWindow();
  return win;
}

void rg_LedgerWin::Reload(rg_EasyDb& store, std::optional<std::int64_t> budget) {
  auto plays = ReadLedgerPlays(store);
  if (!plays) {
    // Part of the plays would give wrong sums without a word.
    const QString why = !plays.error().message.empty()
                            ? QString::fromStdString(plays.error().message)
                            : ui::Q(StoreStatusText(plays.error().status));
    SetPlays({}, budget);
    status_->setText(QStringLiteral("账本无法读取: ") + why);
    return;
  }
  SetPlays(std::move(*plays), budget);
}

void rg_LedgerWin::SetPlays(std::vector<rg_LedgerPlay> plays, std::optional<std::int64_t> budget) {
  plays_ = std::move(plays);
  budget_ = budget;
  status_->clear();
  Recompute();
}

void rg_LedgerWin::SetBy(rg_LedgerBy by) {
  const auto at = std::find(std::begin(kBys), std::end(kBys), by) - std::begin(kBys);
  if (at == by_->currentIndex()) {
    Recompute();
  } else {
    by_->setCurrentIndex(static_cast<int>(at));  // recomputes through the signal
  }
}

void rg_LedgerWin::Recompute() {
  const int index = std::clamp(by_->currentIndex(), 0, 2);
  ledger_ = BuildLedger(plays_, {.by = kBys[index], .budget = budget_});
  FillTable();
  FillChart();
  export_->setEnabled(!ledger_.periods.empty());
}

void rg_LedgerWin::FillTable() {
  const bool marks = budget_ && kBys[std::clamp(by_->currentIndex(), 0, 2)] == rg_LedgerBy::Month;
  const int columns = static_cast<int>(marks ? kHeader.size() : kHeader.size() - 1);
  table_->clear();
  table_->setColumnCount(columns);
  table_->setHorizontalHeaderLabels(kHeader.mid(0, columns));
  table_->setRowCount(static_cast<int>(ledger_.periods.size()) + 1);
  const auto fill = [&](int row, const QString& period, const rg_LedgerFigures& f, bool over) {
    const QString cells[] = {
        period,
        QString::number(f.plays),
        QString::number(f.bets),
        Yuan(f.spent),
        Yuan(f.won),
        Yuan(f.Net()),
        f.bestTier > 0 ? ui::Q(TierName(f.bestTier)) : QStringLiteral("-"),
        f.floatingUnknown > 0 ? QStringLiteral("%1注").arg(f.floatingUnknown) : QStringLiteral("-"),
        over ? QStringLiteral("超预算") : QString()};
    for (int c = 0; c < columns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 1 && c <= 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (over) item->setBackground(kOverBudget);
      if (period == QStringLiteral("合计")) {
        QFont bold = font();
        bold.setBold(true);
        item->setFont(bold);
      }
      table_->setItem(row, c, item);
    }
  };
  int row = 0;
  for (const rg_LedgerPeriod& p : ledger_.periods)
    fill(row++, ui::Q(p.key), p.figures, p.overBudget);
  fill(row, QStringLiteral("合计"), ledger_.totals.figures, false);
  const rg_LedgerTotals& t = ledger_.totals;
  QString text =
      QStringLiteral("投入%1元, 中奖%2元, 盈亏%3元; 待开奖%4元, 未对奖%5元; 回报率 %6")
          .arg(Yuan(t.figures.spent), Yuan(t.figures.won), Yuan(t.figures.Net()),
               Yuan(t.pendingSpent), Yuan(t.missingSpent),
               t.returnRate ? QString::number(*t.returnRate * 100.0, 'f', 2) + QLatin1Char('%')
                            : QStringLiteral("-"));
  if (t.figures.floatingUnknown > 0) {
    text += QStringLiteral("\n一等奖/二等奖%1注, 奖金未录入(录入开奖时可填浮动奖金)")
                .arg(t.figures.floatingUnknown);
  }
  if (budget_) text += QStringLiteral("\n每月预算 %1元").arg(Yuan(*budget_));
  if (plays_.empty())
    text = QStringLiteral("还没有投注记录: 在投注对话框中保存投注后,这里记下花费与中奖");
  totals_->setText(text);
}

void rg_LedgerWin::FillChart() {
  if (api_ == nullptr || chart_ == nullptr) return;
  // One point a day, the sums up to it; a day with floating wins whose
  // amount is not stored is marked.
  std::map<double, std::pair<rg_LedgerFigures, bool>> days;
  for (const rg_LedgerPlay& p : plays_) {
    auto& [figures, unknown] = days[std::floor(p.date)];
    figures.Add(p);
    unknown = unknown || p.floatingUnknown > 0;
  }
  std::vector<double> x, spent, won;
  std::vector<int> marks;
  double spentSum = 0, wonSum = 0;
  for (const auto& [day, value] : days) {
    spentSum += static_cast<double>(value.first.spent);
    wonSum += static_cast<double>(value.first.won);
    if (value.second) marks.push_back(static_cast<int>(x.size()));
    x.push_back(ChartX(day));
    spent.push_back(spentSum);
    won.push_back(wonSum);
  }
  api_->fill(chart_, x.data(), spent.data(), won.data(), static_cast<int>(x.size()), marks.data(),
             static_cast<int>(marks.size()));
  // Without a play there is nothing to draw: empty axes would show the
  // epoch's dates and repeated zeros.
  chart_->setVisible(!x.empty());
}

std::array<int, 3> rg_LedgerWin::ChartShown() const {
  std::array<int, 3> out{};
  if (api_ != nullptr && chart_ != nullptr) api_->shown(chart_, out.data());
  return out;
}

bool rg_LedgerWin::ExportCsv(const QString& path, QString* message) {
  const std::string csv =
      LedgerCsv(ledger_, budget_.has_value() &&
                             kBys[std::clamp(by_->currentIndex(), 0, 2)] == rg_LedgerBy::Month);
  QString said;
  const bool saved =
      ui::SaveUserFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())), &said);
  if (message != nullptr) *message = said;
  return saved;
}

void rg_LedgerWin::AskAndExport() {
  QString path = ui::AskSaveFile(this, ui::FileKind::History, QStringLiteral("导出账本"),
                                 QStringLiteral("账本.csv"), QStringLiteral("CSV 文件 (*.csv)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) != 0)
    path += QStringLiteral(".csv");
  QString message;
  if (ExportCsv(path, &message)) {
    ui::RememberFolder(ui::FileKind::History, path);
    status_->setText(message);
  } else {
    status_->clear();
    ui::TellSaved(this, false, message);
  }
}

}  // namespace rg_com_ptl_xyh
