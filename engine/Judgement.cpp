#include "engine/Judgement.h"

#include "engine/Chart.h"
#include "engine/Symbols.h"

namespace rg_com_ptl_xyh {

using namespace judgement;

namespace {

bool IsBranch(int b) { return b >= 1 && b <= 12; }

int PhaseOfBranchNumber(int b) {
  return PhaseNumber(tables::kBranchPhases.substr(static_cast<size_t>(b - 1), 1));
}

// Whether a and b (branch numbers) make one of the pairs of a pair table.
bool Paired(std::u16string_view pairs, int a, int b) {
  const char16_t x = tables::kBranches[static_cast<size_t>(a - 1)];
  const char16_t y = tables::kBranches[static_cast<size_t>(b - 1)];
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if ((pairs[i] == x && pairs[i + 1] == y) || (pairs[i] == y && pairs[i + 1] == x)) return true;
  }
  return false;
}

// The tests of every branch pair, worked out once from the tables.
using PairTable = std::array<std::array<std::uint8_t, 12>, 12>;
const PairTable& Tests() {
  static const PairTable kTable = [] {
    // The relative a phase is of another: what the month or day does to it.
    static constexpr std::array<std::uint8_t, 5> kByRelation = {kTestHelp, 0, kTestControl, 0,
                                                                kTestGenerate};
    PairTable t{};
    for (int by = 1; by <= 12; ++by) {
      for (int b = 1; b <= 12; ++b) {
        const int relation = RelativeOf(PhaseOfBranchNumber(by), PhaseOfBranchNumber(b));
        std::uint8_t mask = by == b ? static_cast<std::uint8_t>(kTestSame)
                                    : kByRelation[static_cast<size_t>(relation)];
        if (Paired(kCombinePairs, by, b)) mask |= kTestCombine;
        if (Paired(kClashPairs, by, b)) mask |= kTestClash;
        t[static_cast<size_t>(by - 1)][static_cast<size_t>(b - 1)] = mask;
      }
    }
    return t;
  }();
  return kTable;
}

}  // namespace

std::uint8_t TestsOf(int by, int b) {
  if (!IsBranch(by) || !IsBranch(b)) return 0;
  return Tests()[static_cast<size_t>(by - 1)][static_cast<size_t>(b - 1)];
}

int StrengthIndex(int monthBranch, int branch) {
  if (!IsBranch(monthBranch) || !IsBranch(branch)) return -1;
  return RelativeOf(PhaseOfBranchNumber(monthBranch), PhaseOfBranchNumber(branch));
}

int StageOf(int phase, int branch) {
  if (phase < 1 || phase > 5 || !IsBranch(branch)) return -1;
  const int birth = BranchNumber(kBirthBranchOfPhase.substr(static_cast<size_t>(phase - 1), 1));
  return (branch - birth + 12) % 12;
}

std::uint16_t ChangeOf(int from, int to, int monthBranch, int void1, int void2) {
  if (!IsBranch(from) || !IsBranch(to)) return 0;
  const int fromPhase = PhaseOfBranchNumber(from);
  // What the changed line does to the moving one: the moving line seen from
  // the changed phase, as the month tests see a line.
  const std::uint8_t back = TestsOf(to, from);
  std::uint16_t mask = 0;
  if ((back & kTestGenerate) != 0) mask |= kBackGenerate;
  if ((back & kTestControl) != 0) mask |= kBackControl;
  if ((back & kTestClash) != 0) mask |= kBackClash;
  if ((back & kTestCombine) != 0) mask |= kBackCombine;
  const std::u16string turn = TurnOf(BranchByNumber(from), BranchByNumber(to));
  if (turn == u"进神") mask |= kAdvance;
  if (turn == u"退神") mask |= kRetreat;
  if (to == void1 || to == void2) mask |= kToVoid;
  if ((TestsOf(monthBranch, to) & kTestClash) != 0) mask |= kToBreak;
  const int stage = StageOf(fromPhase, to);
  if (stage == kTombStage) mask |= kToTomb;
  if (stage == kCutStage) mask |= kToCut;
  return mask;
}

void FanFuOf(std::u16string_view primary, std::u16string_view changed, unsigned movingMask,
             rg_InnerOuter& fanyin, rg_InnerOuter& fuyin) {
  fanyin = {};
  fuyin = {};
  if (primary.size() != 6 || changed.size() != 6) return;
  const auto pairedIn = [](std::u16string_view pairs, char16_t a, char16_t b) {
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
      if ((pairs[i] == a && pairs[i + 1] == b) || (pairs[i] == b && pairs[i + 1] == a)) return true;
    }
    return false;
  };
  for (size_t half = 0; half < 2; ++half) {
    if (((movingMask >> (3 * half)) & 7U) == 0) continue;
    const int from = TrigramNumberOfCode(primary.substr(3 * half, 3));
    const int to = TrigramNumberOfCode(changed.substr(3 * half, 3));
    if (from == 0 || to == 0) continue;
    const char16_t a = tables::kTrigrams[static_cast<size_t>(from - 1)];
    const char16_t b = tables::kTrigrams[static_cast<size_t>(to - 1)];
    (half == 0 ? fanyin.inner : fanyin.outer) = pairedIn(kFanyinPairs, a, b);
    (half == 0 ? fuyin.inner : fuyin.outer) = pairedIn(kFuyinPairs, a, b);
  }
}

int BodyBranch(int worldLine, bool yang) {
  if (worldLine < 1 || worldLine > 6) return 0;
  const int start = BranchNumber(kBodyStart.substr(yang ? 1 : 0, 1));
  return (start - 1 + worldLine - 1) % 12 + 1;
}

int TopicIndex(std::u16string_view topic) {
  for (size_t i = 0; i < kTopics.size(); ++i) {
    if (kTopics[i] == topic) return static_cast<int>(i);
  }
  return -1;
}

int HelperRelative(int useRelative, int which) {
  if (useRelative < 0 || useRelative > 4 || which < 0 || which > 2) return -1;
  size_t at = 0;
  while (kGenerationOfRelatives[at] != useRelative) ++at;
  const size_t back = static_cast<size_t>(kHelperSteps[static_cast<size_t>(which)]);
  return kGenerationOfRelatives[(at + 5 - back) % 5];
}

}  // namespace rg_com_ptl_xyh
