#include "derive/Derive.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Analysis.h"
#include "engine/Symbols.h"

namespace rg_com_ptl_xyh {

namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Text(long long v) { return std::to_string(v); }

std::vector<long long> SplitPool(const std::string& pool) {
  std::vector<long long> out;
  size_t start = 0;
  while (start < pool.size()) {
    size_t comma = pool.find(',', start);
    if (comma == std::string::npos) comma = pool.size();
    if (comma > start) out.push_back(std::stoll(pool.substr(start, comma - start)));
    start = comma + 1;
  }
  return out;
}

std::u16string Finish(std::vector<long long> numbers) {
  std::sort(numbers.begin(), numbers.end());
  std::u16string out;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i != 0) out += u',';
    for (char c : std::to_string(numbers[i])) out += static_cast<char16_t>(c);
  }
  return out;
}

std::u16string Finish(const std::string& pool) { return Finish(SplitPool(pool)); }

int DigitValue(char c) { return c == '0' ? 10 : c - '0'; }

// Cuts a group to its target by removing every other number from the
// parity position on.
void Trim(std::vector<long long>& group, size_t target, size_t parity) {
  if (group.size() <= target) return;
  size_t cursor = parity;
  while (group.size() > target) {
    if (cursor >= group.size()) cursor = parity;
    group.erase(group.begin() + static_cast<std::ptrdiff_t>(cursor));
    ++cursor;
    if (cursor >= group.size()) cursor = parity;
  }
}

}  // namespace

namespace derive_detail {

namespace {

constexpr int kR[10][10] = {
    {5, -2, 3, 2, 3, -5, 4, -1, 4, 1},  {1, 5, 2, -3, 1, -4, -5, -4, -1, -3},
    {3, -2, 5, -1, 4, 1, 4, -5, 3, -2}, {2, -3, -1, 5, -2, -4, 1, -3, -5, -4},
    {3, 1, 4, -2, 5, -1, 3, 2, 4, -5},  {-5, 2, 1, -4, 3, 5, 2, -3, -2, -3},
    {4, -5, 4, 1, 3, 2, 5, -2, 3, -1},  {-1, -4, -5, -3, 2, -3, -2, 5, 1, -4},
    {4, -1, 3, -5, 4, -2, 3, 1, 5, 2},  {1, -3, -2, -4, -5, -3, -1, -4, 2, 5}};

constexpr int kB[10][10] = {{23, 4, 7, 8, 7, 27, 9, 8, 9, 4}, {5, 0, 6, 4, 9, 8, 49, 8, 4, 4},
                            {3, 4, 36, 6, 5, 0, 9, 38, 3, 0}, {8, 6, 6, 0, 6, 2, 1, 6, 16, 2},
                            {3, 6, 1, 6, 57, 2, 5, 2, 1, 50}, {27, 0, 7, 4, 7, 0, 0, 6, 2, 2},
                            {3, 49, 3, 8, 7, 0, 90, 8, 4, 0}, {8, 4, 38, 4, 2, 8, 8, 0, 3, 0},
                            {7, 4, 6, 16, 5, 2, 5, 2, 14, 4}, {5, 0, 0, 6, 50, 8, 0, 8, 4, 0}};

constexpr std::u16string_view kWeightRelatives[5] = {u"子孙", u"妻财", u"兄弟", u"父母", u"官鬼"};
struct WeightRow {
  std::u16string_view spirit;
  double weights[5];
};
constexpr WeightRow kW[6] = {
    {u"青龙", {+0.1, +0.2, +0.1, -0.1, -0.1}}, {u"白虎", {-0.1, -0.2, -0.1, +0.1, +0.1}},
    {u"朱雀", {-0.1, +0.2, -0.1, +0.1, -0.1}}, {u"玄武", {+0.1, +0.1, -0.1, -0.1, -0.1}},
    {u"勾陈", {-0.1, -0.2, -0.1, +0.1, +0.1}}, {u"腾蛇", {-0.1, -0.1, -0.2, +0.1, +0.2}}};

bool InDigitRange(int v) { return v >= 0 && v <= 9; }

// Whole numbers from quotients can be astronomically large (a divisor of
// about 1e-17 is common); beyond this they all behave the same.
constexpr double kSaturation = 1e15;

long long ToWhole(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<long long>(std::clamp(std::trunc(v), -kSaturation, kSaturation));
}

}  // namespace

double RoundOneDecimal(double v) {
  if (std::fabs(v) < 1e-6) return v;
  const double scaled = std::fabs(v) * 10 + 1e-6;
  double whole;
  const double fraction = std::modf(scaled, &whole);
  if (fraction >= 0.5) whole += 1;
  const double result = whole / 10;
  return v < 0 ? -result : result;
}

long long TruncateProduct(double product) {
  double whole;
  const double fraction = std::modf(product, &whole);
  if (std::fabs(fraction) >= 0.999999) whole += product < 0 ? -1 : 1;
  return ToWhole(whole);
}

long long QuotientToNumber(double quotient) {
  return ToWhole(quotient) + (std::fabs(quotient) < 1e-6 ? 1 : 0);
}

int Relation(int x, int y) { return InDigitRange(x) && InDigitRange(y) ? kR[x][y] : 0; }
int BlueBase(int x, int y) { return InDigitRange(x) && InDigitRange(y) ? kB[x][y] : 0; }

double Weight(std::u16string_view spirit, std::u16string_view relative) {
  for (const WeightRow& row : kW) {
    if (row.spirit != spirit) continue;
    for (int c = 0; c < 5; ++c) {
      if (kWeightRelatives[c] == relative) return row.weights[c];
    }
  }
  return 0.0;
}

void Chain(std::string& pool, int d, double f, double w) {
  double e = f + w;
  if (e == 0) e = std::fabs(w) + f;
  e = std::fabs(e);
  if (e > 1.0) e -= 0.9;
  if (e == 0) return;
  long long g = QuotientToNumber(d / e);
  while (g >= 1 && g <= 32) {
    // The hottest spot of the derivation: no allocation for "g,".
    char entry[3];
    const size_t length = g < 10 ? 2 : 3;
    entry[0] = static_cast<char>(g < 10 ? '0' + g : '0' + g / 10);
    if (g >= 10) entry[1] = static_cast<char>('0' + g % 10);
    entry[length - 1] = ',';
    const std::string_view text(entry, length);
    if (pool.find(text) == std::string::npos) pool.append(text);
    const long long n = QuotientToNumber(static_cast<double>(g) / e);
    if (n > 32 || n == g || n <= 0) break;
    g = n;
  }
}

}  // namespace derive_detail

using namespace derive_detail;

void BuildNumberProfile(rg_GuaAnalysis& a) {
  rg_GuaNumProfile& p = a.profile;
  p = rg_GuaNumProfile();
  const auto at = [](const std::vector<int>& list, int i) {
    return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)] : 0;
  };
  p.zodiacDigit = a.zodiacHeTu;
  p.dayStemDigit = a.dayStemHeTu;
  p.dayBranchDigit = a.dayBranchHeTu;
  p.hourStemDigit = a.hourStemHeTu;
  p.hourBranchDigit = a.hourBranchHeTu;
  for (int i = 0; i < 6; ++i) {
    p.primaryDigits[2 * static_cast<size_t>(i)] = at(a.stemHeTu, i);
    p.primaryDigits[2 * static_cast<size_t>(i) + 1] = at(a.branchHeTu, i);
    p.changedDigits[2 * static_cast<size_t>(i)] = at(a.changedStemHeTu, i);
    p.changedDigits[2 * static_cast<size_t>(i) + 1] = at(a.changedBranchHeTu, i);
    p.moving[static_cast<size_t>(i)] = at(a.moving, i);
    if (static_cast<size_t>(i) < a.spirits.size())
      p.spirits[static_cast<size_t>(i)] = a.spirits[static_cast<size_t>(i)];
    if (static_cast<size_t>(i) < a.relatives.size())
      p.relatives[static_cast<size_t>(i)] = a.relatives[static_cast<size_t>(i)];
  }
  p.zodiacRelations = {
      Relation(p.zodiacDigit, p.dayStemDigit), Relation(p.zodiacDigit, p.dayBranchDigit),
      Relation(p.zodiacDigit, p.hourStemDigit), Relation(p.zodiacDigit, p.hourBranchDigit)};
  p.worldIndex = a.worldIndex;
  p.changedResponseIndex = a.changedResponseIndex;
  const auto digitsOf = [](const std::vector<int>& stems, const std::vector<int>& branches, int i,
                           auto& out) {
    const auto get = [&](const std::vector<int>& list) {
      return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)] : 0;
    };
    out = {get(stems), get(branches)};
  };
  digitsOf(a.stemHeTu, a.branchHeTu, a.worldIndex, p.worldDigits);
  digitsOf(a.changedStemHeTu, a.changedBranchHeTu, a.responseIndex, p.responseChangedDigits);
  digitsOf(a.changedStemHeTu, a.changedBranchHeTu, a.changedWorldIndex, p.changedWorldDigits);
  digitsOf(a.changedStemHeTu, a.changedBranchHeTu, a.changedResponseIndex, p.changedResponseDigits);
}

namespace derive_detail {

double Scale(const rg_GuaNumProfile& p) {
  const int z =
      p.zodiacRelations[0] + p.zodiacRelations[1] + p.zodiacRelations[2] + p.zodiacRelations[3];
  const int absZ = z == 0 ? 10 : std::abs(z);
  return RoundOneDecimal(static_cast<double>(absZ) / 10);
}

double PassFactor(long long c) {
  if (c == 0) c = 40;
  double f = RoundOneDecimal(static_cast<double>(c) / 45);
  if (f >= 1.0) f -= 0.9;
  return f;
}

std::array<double, 12> PassFactors(const rg_GuaNumProfile& p, double s) {
  std::array<double, 12> factors{};
  const auto lineSum = [](const auto& digits, int line) {
    return digits[2 * static_cast<size_t>(line - 1)] +
           digits[2 * static_cast<size_t>(line - 1) + 1];
  };
  const int sum10 =
      p.worldDigits[0] + p.worldDigits[1] + p.responseChangedDigits[0] + p.responseChangedDigits[1];
  const int sum11 = p.changedWorldDigits[0] + p.changedWorldDigits[1] + p.changedResponseDigits[0] +
                    p.changedResponseDigits[1];
  for (int r = 1; r <= 12; ++r) {
    long long c;
    if (r <= 6) {
      c = TruncateProduct((lineSum(p.primaryDigits, r) + lineSum(p.changedDigits, r)) * s);
    } else if (r <= 9) {
      c = TruncateProduct((lineSum(p.primaryDigits, r - 6) + lineSum(p.primaryDigits, r - 3)) * s);
    } else if (r == 10) {
      c = TruncateProduct(sum10 * s);
    } else if (r == 11) {
      c = TruncateProduct(sum11 * s);
    } else {
      c = TruncateProduct(sum10 * s) + TruncateProduct(sum11 * s);
    }
    factors[static_cast<size_t>(r - 1)] = PassFactor(c);
  }
  return factors;
}

std::string DigitString(const rg_GuaNumProfile& p) {
  std::string digits;
  const auto add = [&digits](int v) {
    const std::string t = std::to_string(v);
    if (digits.find(t) == std::string::npos) digits += t;
  };
  add(p.zodiacDigit);
  add(p.dayStemDigit);
  add(p.dayBranchDigit);
  add(p.hourStemDigit);
  add(p.hourBranchDigit);
  for (int v : p.primaryDigits) add(v);
  for (int v : p.changedDigits) add(v);
  return digits;
}

void PairRule(const std::string& digits, std::string& pool) {
  const auto once = [&digits](char c) { return std::count(digits.begin(), digits.end(), c) == 1; };
  if (once('1') && once('6')) {
    if (!Has(pool, "1")) pool += "1,";
  } else if (once('2') && once('7')) {
    if (!Has(pool, "33")) pool += "33,";
  }
}

void Neighbours(std::string& pool) {
  // Only the numbers present now are visited.
  for (const long long n : SplitPool(pool)) {
    if (n <= 32 && !Has(pool, Text(n + 1))) pool += Text(n + 1) + ",";
    const long long m = n - TruncateProduct(static_cast<double>(n + 1) * 0.2);
    if (m >= 1 && m <= 33 && !Has(pool, Text(m))) pool += Text(m) + ",";
  }
}

Groups SplitGroups(const std::string& pool) {
  Groups g;
  for (const long long n : SplitPool(pool))
    (n < 12 ? g.low : n <= 22 ? g.middle : g.high).push_back(n);
  return g;
}

std::array<std::u16string, 5> Tickets(const Groups& g) {
  std::array<std::u16string, 5> out;
  const size_t count = g.low.size() + g.middle.size() + g.high.size();
  // The cursors run on across tickets.
  size_t lo = 0, mi = 0, hi = 0;
  for (size_t t = 1; t <= 5; ++t) {
    if (count < 6 * t) continue;
    std::vector<long long> ticket;
    while (ticket.size() < 6) {
      const size_t before = ticket.size();
      if (lo < g.low.size()) ticket.push_back(g.low[lo++]);
      if (ticket.size() < 6 && mi < g.middle.size()) ticket.push_back(g.middle[mi++]);
      if (ticket.size() < 6 && hi < g.high.size()) ticket.push_back(g.high[hi++]);
      if (ticket.size() == before) break;  // cannot happen while count >= 6t
    }
    out[t - 1] = Finish(ticket);
  }
  return out;
}

std::u16string BlueList(const rg_GuaNumProfile& p, double s) {
  const int ws = p.worldDigits[0], wb = p.worldDigits[1];
  const int rs = p.changedResponseDigits[0], rb = p.changedResponseDigits[1];
  const std::string digits = Text(BlueBase(ws, rs)) + Text(BlueBase(wb, rb));
  const double f = PassFactor(TruncateProduct((ws + rs + wb + rb) * s));
  const auto nameAt = [](const std::array<std::u16string, 6>& names, int i) {
    return i >= 0 && i < 6 ? std::u16string_view(names[static_cast<size_t>(i)])
                           : std::u16string_view();
  };
  const double w =
      Weight(nameAt(p.spirits, p.worldIndex), nameAt(p.relatives, p.changedResponseIndex));
  std::string blue;
  const auto add = [&blue](long long q) {
    if (!Has(blue, Text(q))) blue += Text(q) + ",";
  };
  for (const char ch : digits) {
    double e = f + w;
    if (e == 0) e = std::fabs(w) + f;
    if (e == 0) continue;
    const long long n = QuotientToNumber(DigitValue(ch) / std::fabs(e));
    for (const long long k : {5LL, 4LL, 3LL, 2LL}) {
      const long long q = n / k + (n % k != 0 ? 1 : 0);
      if (q <= 0) continue;
      if (q <= 16) {
        add(q);
      } else {
        const long long q2 = q / k + (q % k != 0 ? 1 : 0);
        if (q2 >= 1 && q2 <= 16) add(q2);
      }
    }
  }
  return Finish(blue);
}

int Parity(const rg_GuaNumProfile& p) {
  int moved = 0;
  int movedIndex = 0;
  for (int i = 0; i < 6; ++i) {
    if (p.moving[static_cast<size_t>(i)] != 0) {
      ++moved;
      movedIndex = i;
    }
  }
  if (moved == 1) return movedIndex % 2;
  if (moved >= 2) return moved % 2;
  return ((p.worldIndex % 2) + 2) % 2;
}

std::u16string ReferenceList(Groups g, int parity) {
  const size_t middleTarget = g.low.size() < 4 ? 8 - g.low.size() : 4;
  const size_t highTarget =
      g.middle.size() < middleTarget ? 4 + (middleTarget - g.middle.size()) : 4;
  const auto p = static_cast<size_t>(parity);
  Trim(g.low, 4, p);
  Trim(g.middle, middleTarget, p);
  Trim(g.high, highTarget, p);
  std::vector<long long> rest = g.low;
  rest.insert(rest.end(), g.middle.begin(), g.middle.end());
  rest.insert(rest.end(), g.high.begin(), g.high.end());
  return Finish(rest);
}

}  // namespace derive_detail

DerivedNumbers DeriveNumbers(rg_GuaNumProfile p) {
  DerivedNumbers out;
  const double s = Scale(p);
  const std::array<double, 12> factors = PassFactors(p, s);
  const std::string digits = DigitString(p);

  // Step A: twelve passes of chains.
  std::array<double, 6> weights{};
  for (size_t j = 0; j < 6; ++j) weights[j] = Weight(p.spirits[j], p.relatives[j]);
  std::string pool;
  for (const double f : factors) {
    for (const char ch : digits) {
      for (const double w : weights) Chain(pool, DigitValue(ch), f, w);
    }
  }
  PairRule(digits, pool);
  out[5] = Finish(pool);

  Neighbours(pool);
  const Groups groups = SplitGroups(pool);
  const auto tickets = Tickets(groups);
  std::copy(tickets.begin(), tickets.end(), out.begin());
  out[6] = BlueList(p, s);
  const size_t count = groups.low.size() + groups.middle.size() + groups.high.size();
  out[7] = count <= 12 ? out[5] : ReferenceList(groups, Parity(p));
  return out;
}

}  // namespace rg_com_ptl_xyh
