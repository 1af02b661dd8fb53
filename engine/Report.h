#pragma once
// The reading of a finished analysis: header line, the two titles, the
// 6 x 12 grid and the reading text. Plain content; a window only draws it.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Analysis.h"
#include "engine/Choices.h"

namespace rg_com_ptl_xyh {

class rg_GuaReport {
 public:
  static constexpr int kRows = 6;
  static constexpr int kColumns = 12;
  // Columns holding a line drawing; their cells hold the line value "1"/"0".
  static constexpr int kPrimaryLineColumn = 4;
  static constexpr int kChangedLineColumn = 10;
  static constexpr std::u16string_view kHeading =
      u"-----卦--------基----------数----------分-------析------";
  using Grid = std::array<std::array<std::u16string, kColumns>, kRows>;
  using ReadyHandler = std::function<void(rg_GuaAnalysis&)>;

  static std::vector<std::u16string> ColumnHeadings();

  // Raised once per cast after the reading text is written.
  void SetReadyHandler(ReadyHandler handler) { ready_ = std::move(handler); }

  void SetHeader(CastMethod method, std::u16string_view numberText,
                 std::u16string_view zodiacBranch, std::u16string_view dayPillar,
                 std::u16string_view hourPillar);
  void ReportNumber(const rg_GuaModel& primary, const rg_GuaModel& changed);
  void ReportHand(const rg_GuaModel& primary, const rg_GuaModel& changed,
                  const std::vector<int>& dong);
  // Rewrites the reading text from the analysis record alone.
  void WriteReading();
  // What "重设" clears: the reading text only.
  void ClearReading() { reading_.clear(); }

  const std::u16string& Header() const { return header_; }
  const std::u16string& PrimaryTitle() const { return primaryTitle_; }
  const std::u16string& ChangedTitle() const { return changedTitle_; }
  // Row 0 is line 6, row 5 line 1.
  const Grid& Cells() const { return cells_; }
  const std::u16string& Reading() const { return reading_; }
  rg_GuaAnalysis& Analysis() { return analysis_; }
  const rg_GuaAnalysis& Analysis() const { return analysis_; }

 private:
  void Report(const rg_GuaModel& primary, const rg_GuaModel& changed, const std::vector<int>* dong);

  std::u16string header_;
  std::u16string primaryTitle_;
  std::u16string changedTitle_;
  Grid cells_;
  std::u16string reading_;
  rg_GuaAnalysis analysis_;
  ReadyHandler ready_;
};

// "本卦: 乾宫 (7) 火地晋 游魂" and the like.
std::u16string HexagramTitle(std::u16string_view label, const rg_GuaModel& model);

}  // namespace rg_com_ptl_xyh
