#pragma once
// From an analysed cast to the predicted numbers. Exactly reproducible:
// the same profile always gives the same eight texts.
#include <array>
#include <string>
#include <vector>

#include "engine/NumberProfile.h"

namespace rg_com_ptl_xyh {

struct rg_GuaAnalysis;

// Fills analysis.profile from the analysis record's own fields.
void BuildNumberProfile(rg_GuaAnalysis& analysis);

// Ticket 1..5, the red analysis list, the blue list, the red reference list;
// each sorted ascending and comma-joined, an unformed ticket empty.
using DerivedNumbers = std::array<std::u16string, 8>;
DerivedNumbers DeriveNumbers(rg_GuaNumProfile profile);

namespace derive_detail {
// The helpers, exposed for tests.
double RoundOneDecimal(double v);
long long TruncateProduct(double product);
long long QuotientToNumber(double quotient);
int Relation(int x, int y);
int BlueBase(int x, int y);
double Weight(std::u16string_view spirit, std::u16string_view relative);
// Appends the chain from start value d to the pool text.
void Chain(std::string& pool, int d, double passFactor, double weight);

// The steps of the derivation, in order.
double Scale(const rg_GuaNumProfile& profile);
double PassFactor(long long c);
std::array<double, 12> PassFactors(const rg_GuaNumProfile& profile, double scale);
std::string DigitString(const rg_GuaNumProfile& profile);
void PairRule(const std::string& digits, std::string& pool);
void Neighbours(std::string& pool);
struct Groups {
  std::vector<long long> low;     // below 12
  std::vector<long long> middle;  // 12..22
  std::vector<long long> high;    // 23 and above
};
Groups SplitGroups(const std::string& pool);
std::array<std::u16string, 5> Tickets(const Groups& groups);
std::u16string BlueList(const rg_GuaNumProfile& profile, double scale);
int Parity(const rg_GuaNumProfile& profile);
std::u16string ReferenceList(Groups groups, int parity);
}  // namespace derive_detail

}  // namespace rg_com_ptl_xyh
