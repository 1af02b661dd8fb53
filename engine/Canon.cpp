#include "engine/Canon.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/Folders.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::string_view kHeader =
    "number\tname\tlines\tjudgment\tline1\tline2\tline3\tline4\tline5\tline6\textra";
constexpr size_t kColumns = 11;

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

int MaskOf(std::u16string_view lines) {
  int mask = 0;
  for (size_t i = 0; i < lines.size(); ++i) mask |= static_cast<int>(lines[i] == u'1') << i;
  return mask;
}

rg_Canon Failed(std::string why) {
  rg_Canon c;
  c.error = std::move(why);
  return c;
}

}  // namespace

std::u16string LineTitle(int line, bool yang) {
  static constexpr std::u16string_view kPlaces = u"初二三四五上";
  if (line < 1 || line > 6) return {};
  const std::u16string place(kPlaces.substr(static_cast<size_t>(line - 1), 1));
  const std::u16string kind = yang ? u"九" : u"六";
  // The bottom and top lines name the place first: 初九, 上六; the others
  // the kind first: 九二, 六五.
  return line == 1 || line == 6 ? place + kind : kind + place;
}

const rg_CanonText* rg_Canon::OfLines(std::u16string_view lines) const {
  if (!Ok() || lines.size() != 6 || lines.find_first_not_of(u"01") != std::u16string_view::npos)
    return nullptr;
  return &texts[static_cast<size_t>(byMask[static_cast<size_t>(MaskOf(lines))])];
}

rg_Canon ParseCanon(std::string_view utf8) {
  if (utf8.size() > kCanonMaxBytes) return Failed("the file is larger than any canon");
  if (!utf8.empty() && utf8.back() == '\n') utf8.remove_suffix(1);
  const std::vector<std::string_view> rows = Split(utf8, '\n');
  if (rows.empty() || rows[0] != kHeader) return Failed("the header line is not the canon's");
  if (rows.size() != 65) return Failed("not 64 hexagrams but " + std::to_string(rows.size() - 1));
  rg_Canon c;
  std::array<bool, 64> seen{};
  for (size_t r = 1; r < rows.size(); ++r) {
    const std::string where = "row " + std::to_string(r);
    const std::vector<std::string_view> f = Split(rows[r], '\t');
    if (f.size() != kColumns)
      return Failed(where + ": not " + std::to_string(kColumns) + " fields");
    for (const auto field : f) {
      // Malformed UTF-8 would come back with U+FFFD in it.
      if (FromUtf8(field).find(u'\uFFFD') != std::u16string::npos)
        return Failed(where + ": not UTF-8");
    }
    rg_CanonText& t = c.texts[r - 1];
    t.number = static_cast<int>(r);
    if (f[0] != std::to_string(r)) return Failed(where + ": not hexagram " + std::to_string(r));
    t.name = FromUtf8(f[1]);
    t.lines = FromUtf8(f[2]);
    if (t.name.empty() || t.lines.size() != 6 ||
        t.lines.find_first_not_of(u"01") != std::u16string::npos)
      return Failed(where + ": no name or not six lines");
    const int mask = MaskOf(t.lines);
    if (seen[static_cast<size_t>(mask)]) return Failed(where + ": its lines come twice");
    seen[static_cast<size_t>(mask)] = true;
    c.byMask[static_cast<size_t>(mask)] = static_cast<int>(r - 1);
    t.judgment = FromUtf8(f[3]);
    if (t.judgment.empty()) return Failed(where + ": no judgment");
    for (int line = 1; line <= 6; ++line) {
      std::u16string text = FromUtf8(f[static_cast<size_t>(line) + 3]);
      const std::u16string title = LineTitle(line, t.lines[static_cast<size_t>(line - 1)] == u'1');
      if (text.rfind(title + u"：", 0) != 0 || text.size() <= 3)
        return Failed(where + ": line " + std::to_string(line) + " is not titled by its line");
      t.lineTexts[static_cast<size_t>(line - 1)] = std::move(text);
    }
    t.extra = FromUtf8(f[10]);
    const std::u16string_view extraTitle = r == 1 ? u"用九：" : r == 2 ? u"用六：" : u"";
    if (extraTitle.empty() ? !t.extra.empty() : t.extra.rfind(extraTitle, 0) != 0)
      return Failed(where + ": 用九/用六 belong to 乾 and 坤 alone");
  }
  return c;
}

rg_Canon ReadCanon(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failed("cannot read " + PathToUtf8(path));
  std::string text;
  std::array<char, 8192> buf{};
  while (in.read(buf.data(), buf.size()) || in.gcount() > 0) {
    text.append(buf.data(), static_cast<size_t>(in.gcount()));
    if (text.size() > kCanonMaxBytes) return Failed(PathToUtf8(path) + " is larger than any canon");
  }
  rg_Canon c = ParseCanon(text);
  if (!c.Ok()) c.error = PathToUtf8(path) + ": " + c.error;
  return c;
}

const rg_Canon& ProgramCanon() {
  static const rg_Canon kCanon = [] {
    const std::filesystem::path exe = ExecutableDirectory();
    std::error_code ec;
    for (const auto& path : {exe / kCanonFileName, exe / ".." / "share" / "xyh" / kCanonFileName}) {
      if (std::filesystem::exists(path, ec)) return ReadCanon(path);
    }
    return Failed(std::string(kCanonFileName) +
                  " is neither beside the program nor in ../share/xyh");
  }();
  return kCanon;
}

}  // namespace rg_com_ptl_xyh
