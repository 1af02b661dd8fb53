#include "engine/Symbols.h"

#include <vector>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

using namespace tables;

namespace {

std::u16string CharAt(std::u16string_view table, int n) {
  if (n < 1 || static_cast<size_t>(n) > table.size()) return {};
  return std::u16string(1, table[static_cast<size_t>(n - 1)]);
}

int NumberIn(std::u16string_view table, std::u16string_view ch) {
  if (ch.size() != 1) return 0;
  const size_t pos = table.find(ch[0]);
  return pos == std::u16string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int PairIndex(std::u16string_view table, std::u16string_view name) {
  if (name.size() != 2) return -1;
  for (size_t pos = 0; pos + 1 < table.size(); pos += 2) {
    if (table.substr(pos, 2) == name) return static_cast<int>(pos / 2);
  }
  return -1;
}

std::u16string PairAt(std::u16string_view table, int index) {
  if (index < 0 || static_cast<size_t>(index) * 2 + 2 > table.size()) return {};
  return std::u16string(table.substr(static_cast<size_t>(index) * 2, 2));
}

const std::vector<std::u16string>& HexagramNames() {
  static const std::vector<std::u16string> names = SplitText(kHexagramNames, u',');
  return names;
}

int Digit(char16_t c) { return c >= u'0' && c <= u'9' ? c - u'0' : 0; }

}  // namespace

std::u16string StemByNumber(int n) { return CharAt(kStems, n); }
std::u16string BranchByNumber(int n) { return CharAt(kBranches, n); }
std::u16string TrigramByNumber(int n) { return CharAt(kTrigrams, n); }
std::u16string PhaseByNumber(int n) { return CharAt(kPhases, n); }

int StemNumber(std::u16string_view ch) { return NumberIn(kStems, ch); }
int BranchNumber(std::u16string_view ch) { return NumberIn(kBranches, ch); }
int PhaseNumber(std::u16string_view ch) { return NumberIn(kPhases, ch); }
int TrigramNumber(std::u16string_view ch) { return NumberIn(kTrigrams, ch); }

std::u16string PhaseOfBranch(std::u16string_view ch) {
  return CharAt(kBranchPhases, BranchNumber(ch));
}

int HeTuOfStem(std::u16string_view ch) {
  const int n = StemNumber(ch);
  return n == 0 ? 0 : Digit(kStemHeTu[static_cast<size_t>(n - 1)]);
}

int HeTuOfBranch(std::u16string_view ch) {
  const int n = BranchNumber(ch);
  return n == 0 ? 0 : Digit(kBranchHeTu[static_cast<size_t>(n - 1)]);
}

int SpiritIndex(std::u16string_view name) { return PairIndex(kSpirits, name); }
int RelativeIndex(std::u16string_view name) { return PairIndex(kRelatives, name); }
std::u16string SpiritName(int index) { return PairAt(kSpirits, index); }
std::u16string RelativeName(int index) { return PairAt(kRelatives, index); }

std::u16string SoulKindText(int kind) {
  return kind == 1 || kind == 2 ? PairAt(kSouls, kind - 1) : std::u16string();
}

std::u16string HexagramName(int index) {
  const auto& names = HexagramNames();
  if (index < 1 || static_cast<size_t>(index) > names.size()) return {};
  return names[static_cast<size_t>(index - 1)];
}

std::u16string FullHexagramName(int palace, int rank, int soulKind) {
  return HexagramName((palace - 1) * 8 + rank) + SoulKindText(soulKind);
}

namespace {
constexpr std::u16string_view kCodes[] = {u"111", u"110", u"101", u"100",
                                          u"011", u"010", u"001", u"000"};
}  // namespace

std::u16string TrigramCode(int n) {
  return std::u16string(n >= 1 && n <= 7 ? kCodes[n - 1] : kCodes[7]);
}

int TrigramNumberOfCode(std::u16string_view code) {
  for (int n = 1; n <= 8; ++n) {
    if (kCodes[n - 1] == code) return n;
  }
  return 0;
}

std::u16string ComplementCode(std::u16string_view code) {
  std::u16string out(code);
  for (auto& c : out) c = c == u'0' ? u'1' : u'0';
  return out;
}

int RelativeOf(int p, int q) {
  if (p == q) return 0;
  const auto g = [](int x) {
    return static_cast<int>(kGeneration.find(static_cast<char16_t>(u'0' + x)));
  };
  const auto c = [](int x) {
    return static_cast<int>(kControl.find(static_cast<char16_t>(u'0' + x)));
  };
  if ((g(p) == 4 && g(q) == 0) || g(q) - g(p) == 1) return 4;
  if ((g(p) == 0 && g(q) == 4) || g(p) - g(q) == 1) return 1;
  if ((c(p) == 4 && c(q) == 0) || c(q) - c(p) == 1) return 2;
  return 3;
}

std::array<std::u16string, 6> SpiritsOfDay(int dayStemNumber) {
  static constexpr std::u16string_view kSequences[] = {
      u"青龙朱雀勾陈腾蛇白虎玄武", u"朱雀勾陈腾蛇白虎玄武青龙", u"勾陈腾蛇白虎玄武青龙朱雀",
      u"腾蛇白虎玄武青龙朱雀勾陈", u"白虎玄武青龙朱雀勾陈腾蛇", u"玄武青龙朱雀勾陈腾蛇白虎"};
  size_t which;
  switch (dayStemNumber) {
    case 1:
    case 2: which = 0; break;
    case 3:
    case 4: which = 1; break;
    case 5: which = 2; break;
    case 6: which = 3; break;
    case 7:
    case 8: which = 4; break;
    default: which = 5; break;
  }
  std::array<std::u16string, 6> out;
  for (size_t i = 0; i < 6; ++i) out[i] = std::u16string(kSequences[which].substr(i * 2, 2));
  return out;
}

TrigramNajia NajiaOf(int trigram, bool upper) {
  TrigramNajia out;
  out.stem = CharAt(upper ? kOuterStems : kInnerStems, trigram);
  const std::u16string first = CharAt(upper ? kOuterFirstBranch : kInnerFirstBranch, trigram);
  const int stem = StemNumber(out.stem);
  if (stem == 0 || first.empty()) return out;
  const std::u16string_view cycle = stem % 2 == 1 ? kYangCycle : kYinCycle;
  const size_t start = cycle.find(first[0]);
  if (start == std::u16string_view::npos) return out;
  for (size_t i = 0; i < 3; ++i)
    out.branches[i] = std::u16string(1, cycle[(start + i) % cycle.size()]);
  return out;
}

}  // namespace rg_com_ptl_xyh
