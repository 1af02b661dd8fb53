#include "shell/WinNotice.h"

#include "history/Announced.h"
#include "history/EasyDb.h"
#include "history/Ledger.h"
#include "history/Plays.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "ui/Ui.h"
#include "update/UpdateFiles.h"

namespace rg_com_ptl_xyh {

rg_WinNotice::rg_WinNotice(rg_EasyDb& store, const rg_Settings& settings, const Clock& clock,
                           std::unique_ptr<rg_Notifier> notifier, QObject* parent)
    : QObject(parent),
      store_(store),
      settings_(settings),
      clock_(clock),
      notifier_(std::move(notifier)) {}

bool rg_WinNotice::Enabled() const { return settings_.Read(kSysSection, kNotifyKey) != u"0"; }

QString rg_WinNotice::WinLine(const rg_CastTier& win, const rg_DrawIndex& index) {
  QString name = QStringLiteral("#%1").arg(win.id);
  rg_PrizeSum prize;
  const auto loaded = store_.Load(win.id);
  if (loaded && *loaded) {
    name = QStringLiteral("《") + ui::Q((*loaded)->ysname) + QStringLiteral("》");
    // The few casts told of are cast again here, for the prize they won.
    std::vector<rg_PlayResult> plays;
    for (rg_StoredPlay& p : rg_PlayStore(store_).List(win.id))
      plays.push_back({p.id, std::move(p.play), {}, std::move(p.damage)});
    rg_SavedCastDeriver deriver;
    const rg_CastResult r = deriver.Check(**loaded, index, plays);
    const auto amounts = rg_DrawPrizes(store_).All(LotteryCode::DoubleColor);
    const rg_FloatingAmounts drawn =
        amounts ? AmountsOf(*amounts, win.issue) : rg_FloatingAmounts{};
    for (const rg_TicketCheck& t : r.check.tickets) {
      const rg_PrizeSum sum = TicketPrize(t, drawn);
      prize.won += sum.won;
      for (std::size_t tier = 1; tier <= 2; ++tier)
        prize.unknownBets[tier] += sum.unknownBets[tier];
    }
    for (const rg_PlayResult& p : r.plays) {
      const rg_PrizeSum sum = PlayPrize(p.check, p.play.multiple, drawn);
      prize.won += sum.won;
      for (std::size_t tier = 1; tier <= 2; ++tier)
        prize.unknownBets[tier] += sum.unknownBets[tier];
    }
  }
  QString line = name + QStringLiteral(" 第") + ui::Q(win.issue) + QStringLiteral("期 ") +
                 ui::Q(TierName(win.bestTier));
  if (prize.won > 0 || prize.UnknownBets() == 0)
    line += QStringLiteral(", 奖金") + QString::fromStdString(GroupedYuan(prize.won)) +
            QStringLiteral("元");
  if (prize.UnknownBets() > 0) line += QStringLiteral(", ") + ui::Q(UnknownAmountText(prize));
  return line;
}

int rg_WinNotice::Announce(const std::vector<rg_CastTier>& wins, const rg_DrawIndex& index) {
  if (!Enabled()) return 0;
  rg_Announced announced(store_);
  QStringList lines;
  std::vector<const rg_CastTier*> told;
  for (const rg_CastTier& win : wins) {
    if (win.bestTier <= 0 || win.issue.empty()) continue;
    // A store that cannot say whether it was told stays silent rather
    // than tell twice.
    const auto was = announced.Was(win.id, win.issue);
    if (!was || *was) continue;
    lines << WinLine(win, index);
    told.push_back(&win);
  }
  if (told.empty()) return 0;
  const QString text = lines.join(QLatin1Char('\n'));
  if (!notifier_ || !notifier_->Show(QStringLiteral("星衍推号: 中奖了"), text)) {
    emit notShown(QStringLiteral("无系统托盘或通知服务,未弹出通知:\n") + text);
  }
  const double now = clock_.Now();
  for (const rg_CastTier* win : told) announced.Mark(win->id, win->issue, now);
  return static_cast<int>(told.size());
}

}  // namespace rg_com_ptl_xyh
