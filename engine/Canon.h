#pragma once
// The 周易's own words (卦辞, 爻辞, 用九/用六), read once from the text file
// the program ships (zhouyi.tsv) and checked whole before any of it is
// shown. A chart points into it; nothing is copied per cast.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

struct rg_CanonText {
  int number = 0;                           // 1..64, King Wen order
  std::u16string name;                      // the canon's short name, e.g. 观
  std::u16string lines;                     // six "1"/"0", line 1 first
  std::u16string judgment;                  // 卦辞
  std::array<std::u16string, 6> lineTexts;  // "初九：潜龙勿用。" .. line 6
  std::u16string extra;                     // 用九/用六 of 乾 and 坤, else empty
};

struct rg_Canon {
  std::array<rg_CanonText, 64> texts;
  std::array<int, 64> byMask{};  // line mask (bit 0 = line 1) -> index into texts
  // Empty when the text was read whole; otherwise what is wrong with it,
  // and nothing of it is used.
  std::string error;
  bool Ok() const { return error.empty(); }
  // The text of six line values; null when there is none.
  const rg_CanonText* OfLines(std::u16string_view lines) const;
};

// Largest file accepted; the canon is about 21 KB.
inline constexpr size_t kCanonMaxBytes = size_t{256} * 1024;
inline constexpr const char* kCanonFileName = "zhouyi.tsv";

// The canon in the text of a zhouyi.tsv.
rg_Canon ParseCanon(std::string_view utf8);
// The canon in a file; a missing, oversized or malformed file is an error.
rg_Canon ReadCanon(const std::filesystem::path& path);
// The program's canon: beside the program, else in ../share/xyh (an
// installed one). Read once, on first use, and kept.
const rg_Canon& ProgramCanon();

// The title each line of a hexagram carries (初九, 六二 .. 上六) from its
// line values.
std::u16string LineTitle(int line, bool yang);

}  // namespace rg_com_ptl_xyh
