#include "shell/panels/CheckWin.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "derive/PrizeCheck.h"
#include "history/Plays.h"

#include "history/Ledger.h"
#include "platform/DateTime.h"
#include "ui/ScreenFit.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QColor kRed(0xd0, 0x10, 0x10);
const QColor kBlue(0x10, 0x40, 0xd0);
const QColor kMiss(0x60, 0x60, 0x60);

QString Two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// After a win of a floating tier: the prize with the amounts stored, and
// each floating tier without one ("一等奖 1注, 奖金未录入").
QString FloatingClause(const rg_PrizeSum& sum) {
  QString out = QStringLiteral(", 奖金合计 %1元").arg(QString::fromStdString(GroupedYuan(sum.won)));
  if (sum.UnknownBets() > 0) out += QStringLiteral(" (") + ui::Q(UnknownAmountText(sum)) + ')';
  return out;
}

// A prize cell: the prize, and 奖金未录入 below it for a floating win without
// an amount.
QString PrizeCell(const rg_PrizeSum& sum) {
  QString out = QStringLiteral("%1元").arg(sum.won);
  if (sum.UnknownBets() > 0) out += QLatin1Char('\n') + ui::Q(std::u16string(kAmountUnknownText));
  return out;
}

void AddSum(rg_PrizeSum& total, const rg_PrizeSum& sum) {
  total.won += sum.won;
  for (std::size_t tier = 1; tier <= 2; ++tier) total.unknownBets[tier] += sum.unknownBets[tier];
}

// "合计: …": the bets while pending; the best tier, winning and all bets
// and the fixed prize once drawn.
QString TotalsLine(const rg_CastResult& result, bool drawn, const rg_FloatingAmounts& amounts) {
  const auto& tickets = result.check.tickets;
  QString total;
  if (!drawn) {
    total = (result.status == rg_CastStatus::Missing ? QStringLiteral("合计: 开奖数据缺失, 共%1注")
                                                     : QStringLiteral("合计: 待开奖, 共%1注"))
                .arg([&] {
                  int bets = 0;
                  for (const auto& t : tickets) bets += t.bets;
                  return bets;
                }());
  } else {
    int winning = 0, bets = 0;
    for (const auto& t : tickets) {
      winning += t.winningBets;
      bets += t.bets;
    }
    total = QStringLiteral("合计: %1, 中奖%2注/共%3注, 固定奖金 %4元")
                .arg(result.check.bestTier > 0
                         ? QStringLiteral("最高") + ui::Q(TierName(result.check.bestTier))
                         : ui::Q(TierName(0)))
                .arg(winning)
                .arg(bets)
                .arg(result.check.fixedPrize);
    if (result.check.bestTier == 1 || result.check.bestTier == 2) {
      rg_PrizeSum sum;
      for (const auto& t : tickets) AddSum(sum, TicketPrize(t, amounts));
      total += FloatingClause(sum);
    }
  }
  return total;
}

}  // namespace

QIcon WinnerIcon() {
  // Made once and kept for the life of the process: a static icon would be
  // destroyed after the application object.
  static const QIcon* icon = new QIcon([] {
    QIcon made;
    for (int size : {16, 24, 32}) {
      QPixmap pixmap(size, size);
      pixmap.fill(Qt::transparent);
      QPainter p(&pixmap);
      p.setRenderHint(QPainter::Antialiasing);
      const double r = size / 2.0 - 1;
      QRadialGradient shade(QPointF(size * 0.38, size * 0.35), r * 1.2);
      shade.setColorAt(0, QColor(0xff, 0x8a, 0x80));
      shade.setColorAt(1, QColor(0xc4, 0x0c, 0x0c));
      p.setBrush(shade);
      p.setPen(QPen(QColor(0xe8, 0xb0, 0x20), size / 12.0));
      p.drawEllipse(QPointF(size / 2.0, size / 2.0), r, r);
      // A small white star on the ball.
      QPolygonF star;
      for (int k = 0; k < 10; ++k) {
        const double radius = (k % 2 == 0 ? r * 0.55 : r * 0.22);
        const double angle = -M_PI / 2 + k * M_PI / 5;
        star << QPointF(size / 2.0 + radius * std::cos(angle),
                        size / 2.0 + radius * std::sin(angle));
      }
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPolygon(star);
      p.end();
      made.addPixmap(pixmap);
    }
    return made;
  }());
  return *icon;
}

QString WinnerTooltip(int bestTier) { return QStringLiteral("中奖: ") + ui::Q(TierName(bestTier)); }

QString PlayCountTooltip(int plays) { return QStringLiteral("投注: %1个").arg(plays); }

rg_CheckWin::rg_CheckWin(QWidget* parent, const QFont& font, const QString& subject,
                         double castTime, const rg_CastResult& result,
                         const std::vector<int>& blues, double now)
    : QDialog(parent), result_(result), blues_(blues), font_(font) {
  setWindowTitle(QStringLiteral("对奖"));
  setFont(font);
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(PlainLabel(QStringLiteral("演算: ") + subject, this));
  layout->addWidget(PlainLabel(QStringLiteral("起卦时间: ") + ui::Q(DateText(castTime)), this));
  // The draw, the tickets and the plays scroll; the lines above and 关闭
  // stay in sight however many plays a cast has.
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  body_ = new QWidget;
  scroll_->setWidget(body_);
  layout->addWidget(scroll_, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::AcceptRole);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(buttons);
  Fill(now);
  ui::OpenWithinScreen(this, WholeSize());
}

QSize rg_CheckWin::WholeSize() const {
  // The scroll area asks for a modest size of its own; the dialog would
  // show the whole body, with room for a scroll bar should the screen
  // be too short for it.
  const QSize body = body_->sizeHint();
  const QMargins margins = layout()->contentsMargins();
  QSize whole = sizeHint();
  whole.setWidth(std::max(whole.width(), body.width() + margins.left() + margins.right() +
                                             scroll_->verticalScrollBar()->sizeHint().width()));
  whole.setHeight(whole.height() - scroll_->sizeHint().height() + body.height());
  return whole;
}

void rg_CheckWin::DrawsChanged(const rg_DrawIndex& index, double now) {
  if (source_) SetResult(source_(index), now);
}

void rg_CheckWin::SetResult(const rg_CastResult& result, double now) {
  result_ = result;
  shownAmounts_ =
      result_.draw != nullptr ? AmountsOf(amounts_, result_.draw->issue) : rg_FloatingAmounts{};
  // The old rows go with their widget; the new ones take its place.
  delete scroll_->takeWidget();
  body_ = new QWidget;
  scroll_->setWidget(body_);
  enter_ = nullptr;
  redCells_.clear();
  tiers_.clear();
  prizes_.clear();
  blueCells_.clear();
  playNumbers_.clear();
  playWinning_.clear();
  playPrizes_.clear();
  playTotal_ = nullptr;
  Fill(now);
  // Grown for what was added, within the screen; an open dialog stays where
  // the user sees it and scrolls instead.
  if (!isVisible()) ui::OpenWithinScreen(this, WholeSize());
}

void rg_CheckWin::Fill(double now) {
  drawCopy_.clear();
  if (result_.draw != nullptr) {
    drawCopy_.push_back(*result_.draw);
    result_.draw = &drawCopy_.front();
  }
  auto* layout = new QVBoxLayout(body_);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto drawn = result_.draw ? DoubleColorNumbers(*result_.draw) : std::nullopt;
  const rg_DrawNumbers* numbers = drawn ? &*drawn : nullptr;
  layout->addLayout(MakeDrawRow(numbers, now));
  layout->addLayout(MakeBlueRow(blues_, numbers));
  layout->addLayout(MakeTicketGrid(font_, numbers));
  total_ = PlainLabel(TotalsLine(result_, numbers != nullptr, Amounts()), body_);
  layout->addWidget(total_);
  if (!result_.plays.empty()) layout->addLayout(MakePlayGrid(numbers));
}

// The draw's numbers, when it is expected, or which draw is missing.
QHBoxLayout* rg_CheckWin::MakeDrawRow(const rg_DrawNumbers* drawn, double now) {
  auto* drawRow = new QHBoxLayout;
  if (drawn) {
    draw_ =
        PlainLabel(QStringLiteral("开奖: 第%1期 %2")
                       .arg(ui::Q(result_.draw->issue), ui::Q(DrawDateText(result_.draw->date))),
                   body_);
    drawRow->addWidget(draw_);
    for (int n : drawn->red) drawRow->addWidget(Ball(Two(n), kRed, false));
    drawRow->addWidget(Ball(Two(drawn->blue), kBlue, false));
  } else if (result_.status == rg_CastStatus::Missing) {
    const QString text = ui::Q(MissingDrawText(result_.missingIssue, result_.missingUncertain));
    draw_ = PlainLabel(
        result_.missingIssue.empty() ? text : QStringLiteral("开奖数据缺失: ") + text, body_);
    drawRow->addWidget(draw_);
    enter_ = new QPushButton(QStringLiteral("录入开奖"), body_);
    enter_->setToolTip(QStringLiteral("录入缺少的一期开奖号码"));
    const QString issue = ui::Q(result_.missingIssue);
    const double date = result_.expectedDrawDate;
    connect(enter_, &QPushButton::clicked, this,
            [this, issue, date] { emit enterDraw(issue, date); });
    drawRow->addWidget(enter_);
  } else {
    QString text =
        QStringLiteral("待开奖, 预计开奖日期: ") + ui::Q(DrawDateText(result_.expectedDrawDate));
    // No holiday calendar is known ahead, so the date stays an estimate.
    if (now != 0.0 && DrawOverdue(result_.expectedDrawDate, now))
      text += QStringLiteral(" (") + ui::Q(std::u16string(kOverdueText)) + QLatin1Char(')');
    draw_ = PlainLabel(text, body_);
    drawRow->addWidget(draw_);
  }
  drawRow->addStretch();
  return drawRow;
}

// The cast's blue list, the drawn blue marked.
QHBoxLayout* rg_CheckWin::MakeBlueRow(const std::vector<int>& blues, const rg_DrawNumbers* drawn) {
  auto* blueRow = new QHBoxLayout;
  blueRow->addWidget(PlainLabel(QStringLiteral("蓝球:"), body_));
  for (int b : blues) {
    QLabel* cell = Ball(Two(b), kBlue, drawn && b == drawn->blue);
    blueCells_.append(cell);
    blueRow->addWidget(cell);
  }
  if (blues.empty()) blueRow->addWidget(PlainLabel(QStringLiteral("(无)"), body_));
  blueRow->addStretch();
  return blueRow;
}

// A heading row, then one row a ticket.
QGridLayout* rg_CheckWin::MakeTicketGrid(const QFont& font, const rg_DrawNumbers* drawn) {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  const QStringList headings = {QStringLiteral("注"),
                                QStringLiteral("推演红球号"),
                                QString(),
                                QString(),
                                QString(),
                                QString(),
                                QString(),
                                QStringLiteral("命中"),
                                QStringLiteral("奖级"),
                                QStringLiteral("中奖注数"),
                                QStringLiteral("固定奖金")};
  for (int c = 0; c < headings.size(); ++c) {
    if (!headings[c].isEmpty())
      grid->addWidget(PlainLabel(headings[c], body_), 0, c, 1, c == 1 ? 6 : 1);
  }
  const auto& tickets = result_.check.tickets;
  for (int t = 0; t < static_cast<int>(tickets.size()); ++t) AddTicketRow(grid, t, font, drawn);
  if (tickets.empty())
    grid->addWidget(PlainLabel(QStringLiteral("(没有推演红球号)"), body_), 1, 0, 1, 11);
  return grid;
}

// Ticket t in row t + 1: its reds, the matched ones on red, what it met,
// its tier (bold red when it won), bets and fixed prize.
void rg_CheckWin::AddTicketRow(QGridLayout* grid, int t, const QFont& font,
                               const rg_DrawNumbers* drawn) {
  static const QString kNames[] = {QStringLiteral("一注"), QStringLiteral("二注"),
                                   QStringLiteral("三注"), QStringLiteral("四注"),
                                   QStringLiteral("五注")};
  const rg_TicketCheck& ticket = result_.check.tickets[static_cast<std::size_t>(t)];
  const int row = t + 1;
  grid->addWidget(PlainLabel(t < 5 ? kNames[t] : QStringLiteral("另注"), body_), row, 0);
  QVector<QLabel*> cells;
  for (int k = 0; k < static_cast<int>(ticket.red.size()); ++k) {
    const int n = ticket.red[static_cast<std::size_t>(k)];
    const bool hit = std::find(ticket.hits.begin(), ticket.hits.end(), n) != ticket.hits.end();
    QLabel* cell =
        Ball(Two(n), drawn ? (hit ? kRed : kMiss) : palette().color(QPalette::WindowText), hit);
    cell->setProperty("hit", hit);
    cells.append(cell);
    grid->addWidget(cell, row, 1 + k);
  }
  redCells_.append(cells);
  QString met = QStringLiteral("-");
  if (drawn)
    met = QStringLiteral("%1红").arg(ticket.hits.size()) +
          (ticket.blueHit ? QStringLiteral("+蓝") : QString());
  grid->addWidget(PlainLabel(met, body_), row, 7);
  const QString waiting = result_.status == rg_CastStatus::Missing ? QStringLiteral("未对奖")
                                                                   : QStringLiteral("待开奖");
  QLabel* tier = PlainLabel(drawn ? ui::Q(TierName(ticket.tier)) : waiting, body_);
  if (ticket.tier > 0) {
    QFont bold = font;
    bold.setBold(true);
    tier->setFont(bold);
    QPalette pal = tier->palette();
    pal.setColor(QPalette::WindowText, kRed);
    tier->setPalette(pal);
  }
  tiers_.append(tier);
  grid->addWidget(tier, row, 8);
  grid->addWidget(
      PlainLabel(drawn ? QStringLiteral("%1/%2").arg(ticket.winningBets).arg(ticket.bets)
                       : QStringLiteral("-/%1").arg(ticket.bets),
                 body_),
      row, 9);
  QLabel* prize =
      PlainLabel(drawn ? PrizeCell(TicketPrize(ticket, Amounts())) : QStringLiteral("-"), body_);
  prizes_.append(prize);
  grid->addWidget(prize, row, 10);
}

QGridLayout* rg_CheckWin::MakePlayGrid(const rg_DrawNumbers* drawn) {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  // The winning bets are counted once; the prize beside them is times 倍数.
  const QStringList headings = {QStringLiteral("投注"), QStringLiteral("号码"),
                                QStringLiteral("注数/金额"), QStringLiteral("中奖注数(单倍)"),
                                QStringLiteral("固定奖金")};
  for (int c = 0; c < headings.size(); ++c) grid->addWidget(PlainLabel(headings[c], body_), 0, c);
  const QString hitStyle = QStringLiteral(
      "<span style='color:white;background:%1;font-weight:bold'>&nbsp;%2&nbsp;</span>");
  const QString missStyle = QStringLiteral("<span style='color:%1'>%2</span>");
  for (int i = 0; i < static_cast<int>(result_.plays.size()); ++i) {
    const rg_PlayResult& p = result_.plays[static_cast<std::size_t>(i)];
    const int row = i + 1;
    if (!p.damage.empty()) {
      AddDamagedPlayRow(grid, row, p);
      continue;
    }
    QString name = ui::Q(KindName(KindOf(p.play)));
    if (p.id != 0) name += QStringLiteral(" #%1").arg(p.id);
    grid->addWidget(PlainLabel(name, body_), row, 0);
    // Only numbers go into the rich text, so nothing typed can be read as markup.
    QString html;
    QVector<int> shown;
    const auto reds = [&](const std::vector<int>& list, const std::vector<int>& hits) {
      for (int n : list) {
        const bool hit = std::find(hits.begin(), hits.end(), n) != hits.end();
        if (hit) shown.append(n);
        html += (hit ? hitStyle.arg(kRed.name(), Two(n))
                     : missStyle.arg((drawn ? kMiss : kRed).name(), Two(n))) +
                QStringLiteral(" ");
      }
    };
    if (!p.play.dan.empty()) {
      html += QStringLiteral("胆 ");
      reds(p.play.dan, p.check.danHits);
      html += QStringLiteral(" 拖 ");
    }
    reds(p.play.red, p.check.redHits);
    html += QStringLiteral(" + ");
    for (int b : p.play.blue) {
      const bool hit = drawn && b == drawn->blue;
      html += (hit ? hitStyle.arg(kBlue.name(), Two(b)) : missStyle.arg(kBlue.name(), Two(b))) +
              QStringLiteral(" ");
    }
    std::sort(shown.begin(), shown.end());
    auto* numbers = new QLabel(html, body_);
    numbers->setTextFormat(Qt::RichText);
    numbers->setWordWrap(true);
    // Room for a 复式 of about a dozen reds on one line before it wraps.
    numbers->setMinimumWidth(ui::CharExtent(font(), QStringLiteral("数")).width() * 24);
    numbers->setProperty("hits", QVariant::fromValue(shown));
    playNumbers_.append(numbers);
    grid->addWidget(numbers, row, 1);
    grid->addWidget(PlainLabel(QStringLiteral("%1注 %2元 %3倍")
                                   .arg(PlayBets(p.play))
                                   .arg(PlayCost(p.play))
                                   .arg(p.play.multiple),
                               body_),
                    row, 2);
    QString won;
    if (!drawn) {
      won = result_.status == rg_CastStatus::Missing ? QStringLiteral("未对奖")
                                                     : QStringLiteral("待开奖");
    } else {
      for (int t = 1; t <= kTierCount; ++t) {
        if (const auto n = p.check.winning[static_cast<std::size_t>(t)]; n > 0)
          won += (won.isEmpty() ? QString() : QStringLiteral(" ")) + ui::Q(TierName(t)) +
                 QString::number(n) + QStringLiteral("注");
      }
      if (won.isEmpty()) won = ui::Q(TierName(0));
    }
    QLabel* winning = PlainLabel(won, body_);
    // On one line: a tier and its count ("五等奖25注") are one word, and
    // wrapping would split Chinese text anywhere.
    winning->setMinimumWidth(ui::CharExtent(font(), QStringLiteral("数")).width() * 12);
    if (p.check.bestTier > 0) {
      QPalette pal = winning->palette();
      pal.setColor(QPalette::WindowText, kRed);
      winning->setPalette(pal);
    }
    playWinning_.append(winning);
    grid->addWidget(winning, row, 3);
    QLabel* prize = PlainLabel(
        drawn ? PrizeCell(PlayPrize(p.check, p.play.multiple, Amounts())) : QStringLiteral("-"),
        body_);
    playPrizes_.append(prize);
    grid->addWidget(prize, row, 4);
  }
  grid->setColumnStretch(1, 1);
  QString total;
  if (!drawn) {
    std::int64_t cost = 0;
    for (const rg_PlayResult& p : result_.plays) {
      if (p.damage.empty()) cost += PlayCost(p.play);
    }
    total = (result_.status == rg_CastStatus::Missing ? QStringLiteral("投注合计: 未对奖, 共%1元")
                                                      : QStringLiteral("投注合计: 待开奖, 共%1元"))
                .arg(cost);
  } else {
    total = QStringLiteral("投注合计: %1, 固定奖金 %2元")
                .arg(result_.playsBestTier > 0
                         ? QStringLiteral("最高") + ui::Q(TierName(result_.playsBestTier))
                         : ui::Q(TierName(0)))
                .arg(result_.playsFixedPrize);
    if (result_.playsBestTier == 1 || result_.playsBestTier == 2) {
      rg_PrizeSum sum;
      for (const rg_PlayResult& p : result_.plays)
        AddSum(sum, PlayPrize(p.check, p.play.multiple, Amounts()));
      total += FloatingClause(sum);
    }
  }
  playTotal_ = PlainLabel(total, body_);
  grid->addWidget(playTotal_, static_cast<int>(result_.plays.size()) + 1, 0, 1, 5);
  return grid;
}

// A play that does not read back keeps its row, said in red, and nothing
// of it is priced or scored.
void rg_CheckWin::AddDamagedPlayRow(QGridLayout* grid, int row, const rg_PlayResult& p) {
  grid->addWidget(PlainLabel(QStringLiteral("#%1").arg(p.id), body_), row, 0);
  QLabel* said = PlainLabel(ui::Q(std::u16string(kDamagedPlayText)) + QStringLiteral(" (") +
                                QString::fromStdString(p.damage) + QStringLiteral(")"),
                            body_);
  said->setWordWrap(true);
  QPalette pal = said->palette();
  pal.setColor(QPalette::WindowText, kRed);
  said->setPalette(pal);
  said->setProperty("damaged", true);
  playNumbers_.append(said);
  grid->addWidget(said, row, 1);
  grid->addWidget(PlainLabel(QStringLiteral("-"), body_), row, 2);
  QLabel* winning = PlainLabel(QStringLiteral("-"), body_);
  playWinning_.append(winning);
  grid->addWidget(winning, row, 3);
  QLabel* prize = PlainLabel(QStringLiteral("-"), body_);
  playPrizes_.append(prize);
  grid->addWidget(prize, row, 4);
}

bool rg_CheckWin::PlayDamaged(int play) const {
  return play >= 0 && play < playNumbers_.size() &&
         playNumbers_[play]->property("damaged").toBool();
}

QVector<int> rg_CheckWin::ShownPlayHits(int play) const {
  if (play < 0 || play >= playNumbers_.size()) return {};
  return playNumbers_[play]->property("hits").value<QVector<int>>();
}
QString rg_CheckWin::PlayWinningText(int play) const {
  return playWinning_.value(play) ? playWinning_[play]->text() : QString();
}
QString rg_CheckWin::PlayPrizeText(int play) const {
  return playPrizes_.value(play) ? playPrizes_[play]->text() : QString();
}
QString rg_CheckWin::PlayTotalText() const { return playTotal_ ? playTotal_->text() : QString(); }

QLabel* rg_CheckWin::Ball(const QString& text, const QColor& color, bool marked) {
  QLabel* label = PlainLabel(text, body_);
  label->setAlignment(Qt::AlignCenter);
  const QSize unit = ui::CharExtent(font(), QStringLiteral("数"));
  label->setFixedSize(unit.width() * 2, unit.height() + 6);
  // A marked number stands on its colour, an unmarked one is written in it.
  label->setStyleSheet(
      marked
          ? QStringLiteral("QLabel{color:white;background:%1;border-radius:%2px;font-weight:bold}")
                .arg(color.name())
                .arg(unit.height() / 2)
          : QStringLiteral("QLabel{color:%1}").arg(color.name()));
  label->setProperty("marked", marked);
  return label;
}

QString rg_CheckWin::DrawText() const { return draw_->text(); }

QVector<int> rg_CheckWin::ShownHits(int ticket) const {
  QVector<int> out;
  if (ticket < 0 || ticket >= redCells_.size()) return out;
  for (QLabel* cell : redCells_[ticket]) {
    if (cell->property("hit").toBool()) out.append(cell->text().toInt());
  }
  return out;
}

QString rg_CheckWin::TierText(int ticket) const {
  return tiers_.value(ticket) ? tiers_[ticket]->text() : QString();
}
QString rg_CheckWin::PrizeText(int ticket) const {
  return prizes_.value(ticket) ? prizes_[ticket]->text() : QString();
}
QString rg_CheckWin::TotalText() const { return total_->text(); }

bool rg_CheckWin::BlueMarked(int blue) const {
  for (QLabel* cell : blueCells_) {
    if (cell->text().toInt() == blue) return cell->property("marked").toBool();
  }
  return false;
}

}  // namespace rg_com_ptl_xyh
