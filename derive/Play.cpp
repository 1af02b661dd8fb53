#include "derive/Play.h"

#include <algorithm>

namespace rg_com_ptl_xyh {

namespace {

// What a list must hold: how many numbers, from which range.
struct ListRule {
  const char16_t* name;
  int fewest;
  int most;
  int high;
};
constexpr ListRule kReds = {u"红球", 6, 20, 33};
constexpr ListRule kDan = {u"胆码", 1, 5, 33};
constexpr ListRule kTuo = {u"拖码", 1, 32, 33};
constexpr ListRule kBlues = {u"蓝球", 1, 16, 16};

std::u16string Number(std::int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string ListRefusal(const std::vector<int>& list, const ListRule& rule) {
  const std::u16string name = rule.name;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] < 1 || list[i] > rule.high)
      return name + u"号码 " + Number(list[i]) + u" 不在 1 至 " + Number(rule.high) + u" 之间";
    if (std::find(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(i), list[i]) !=
        list.begin() + static_cast<std::ptrdiff_t>(i))
      return name + u"号码 " + Number(list[i]) + u" 重复";
  }
  const auto count = static_cast<int>(list.size());
  if (count < rule.fewest || count > rule.most)
    return name + u"应选 " + Number(rule.fewest) + u" 至 " + Number(rule.most) + u" 个,实选 " +
           Number(count) + u" 个";
  return {};
}

// Pascal's triangle up to 33: a look-up beats the product loop in the
// scorer's innermost step.
constexpr auto kBinomial = [] {
  std::array<std::array<std::int64_t, 34>, 34> c{};
  for (std::size_t n = 0; n < 34; ++n) {
    c[n][0] = 1;
    for (std::size_t k = 1; k <= n; ++k) c[n][k] = c[n - 1][k - 1] + (k < n ? c[n - 1][k] : 0);
  }
  return c;
}();

// The prize table as [reds][blue] → tier, made from the table itself.
constexpr auto kTierOf = [] {
  std::array<std::array<int, 2>, 7> t{};
  for (const rg_PrizeRow& row : kPrizeTable)
    t[static_cast<std::size_t>(row.reds)][static_cast<std::size_t>(row.blue)] = row.tier;
  return t;
}();

std::vector<int> Hits(const std::vector<int>& list, std::uint64_t drawn) {
  std::vector<int> out;
  out.reserve(6);
  for (int n : list) {
    if (n >= 0 && n < 64 && (drawn >> n & 1) != 0) out.push_back(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

rg_PlayKind KindOf(const rg_Play& play) {
  if (!play.dan.empty()) return rg_PlayKind::DanTuo;
  return play.red.size() == 6 && play.blue.size() == 1 ? rg_PlayKind::Single
                                                       : rg_PlayKind::Multiple;
}

std::u16string KindName(rg_PlayKind kind) {
  switch (kind) {
    case rg_PlayKind::Single: return u"单式";
    case rg_PlayKind::Multiple: return u"复式";
    case rg_PlayKind::DanTuo: return u"胆拖";
  }
  return {};
}

std::int64_t Choose(int n, int k) {
  if (k < 0 || n < 0 || k > n) return 0;
  if (n < 34) return kBinomial[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
  k = std::min(k, n - k);
  std::int64_t c = 1;
  // Each partial product is itself a binomial coefficient, so the division is exact.
  for (int i = 1; i <= k; ++i) c = c * (n - k + i) / i;
  return c;
}

std::int64_t PlayBets(const rg_Play& play) {
  const auto blues = static_cast<std::int64_t>(play.blue.size());
  const int red = static_cast<int>(play.red.size());
  if (play.dan.empty()) return Choose(red, 6) * blues;
  return Choose(red, 6 - static_cast<int>(play.dan.size())) * blues;
}

std::int64_t PlayCost(const rg_Play& play) {
  return PlayBets(play) * kPlayBetPrice * play.multiple;
}

std::u16string PlayRefusal(const rg_Play& play) {
  std::u16string why;
  if (play.dan.empty()) {
    why = ListRefusal(play.red, kReds);
  } else {
    why = ListRefusal(play.dan, kDan);
    if (why.empty()) why = ListRefusal(play.red, kTuo);
    if (why.empty()) {
      for (int n : play.red) {
        if (std::find(play.dan.begin(), play.dan.end(), n) != play.dan.end())
          return u"号码 " + Number(n) + u" 既是胆码又是拖码";
      }
      if (play.dan.size() + play.red.size() < 7)
        return u"胆码与拖码合计应至少 7 个,实有 " +
               Number(static_cast<std::int64_t>(play.dan.size() + play.red.size())) + u" 个";
    }
  }
  if (why.empty()) why = ListRefusal(play.blue, kBlues);
  if (!why.empty()) return why;
  if (play.multiple < 1 || play.multiple > kPlayMaxMultiple)
    return u"倍数应为 1 至 " + Number(kPlayMaxMultiple) + u",不能是 " + Number(play.multiple);
  const std::int64_t bets = PlayBets(play);
  if (bets * play.multiple > kPlayMaxBets)
    return u"共 " + Number(bets) + u" 注 × " + Number(play.multiple) + u" 倍,超过 " +
           Number(kPlayMaxBets) + u" 注的上限";
  return {};
}

void SortPlay(rg_Play& play) {
  std::sort(play.dan.begin(), play.dan.end());
  std::sort(play.red.begin(), play.red.end());
  std::sort(play.blue.begin(), play.blue.end());
}

rg_PlayCheck ScorePlay(const rg_Play& play, const rg_DrawNumbers* draw) {
  rg_PlayCheck check;
  if (draw == nullptr) return check;
  check.scored = true;
  std::uint64_t drawn = 0;
  for (int n : draw->red) {
    if (n >= 0 && n < 64) drawn |= std::uint64_t{1} << n;
  }
  check.redHits = Hits(play.red, drawn);
  if (!play.dan.empty()) check.danHits = Hits(play.dan, drawn);
  check.blueHit = std::find(play.blue.begin(), play.blue.end(), draw->blue) != play.blue.end();
  // Every bet holds all of the 胆 and `pick` of the rotated reds; with ht of
  // those drawn, C(ht, j)·C(t − ht, pick − j) bets meet j of them.
  const int fixedHits = static_cast<int>(check.danHits.size());
  const int pick = 6 - static_cast<int>(play.dan.size());
  const int t = static_cast<int>(play.red.size());
  const int ht = static_cast<int>(check.redHits.size());
  // Only one blue is drawn, so each red combination is one bet with it (when
  // the list holds it) and the rest of the list without.
  const std::int64_t withBlue = check.blueHit ? 1 : 0;
  const std::int64_t withoutBlue = static_cast<std::int64_t>(play.blue.size()) - withBlue;
  for (int j = 0; j <= pick; ++j) {
    const std::int64_t combos = Choose(ht, j) * Choose(t - ht, pick - j);
    if (combos == 0) continue;
    const int redsMet = fixedHits + j;
    const auto reds = static_cast<std::size_t>(redsMet);
    for (const std::size_t blue : {std::size_t{1}, std::size_t{0}}) {
      const int tier = reds < kTierOf.size() ? kTierOf[reds][blue] : 0;
      const std::int64_t bets = blue != 0 ? withBlue : withoutBlue;
      if (tier == 0 || bets == 0) continue;
      const std::int64_t won = combos * bets;
      check.winning[static_cast<std::size_t>(tier)] += won;
      check.fixedPrize += won * kFixedPrize[static_cast<std::size_t>(tier)] * play.multiple;
      check.bestTier = BetterTier(check.bestTier, tier);
    }
  }
  return check;
}

}  // namespace rg_com_ptl_xyh
