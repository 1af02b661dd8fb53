#pragma once
// What a page may ask of the HTML parser. The parser's own cost grows with
// the nesting of the page and with the attributes of one element faster than
// with its size, and its tree takes a couple of hundred bytes per node; a
// cheap scan of the bytes refuses pages beyond these bounds before the
// parser sees them. Real result pages stay far below every one.
#include <atomic>
#include <cstddef>
#include <string_view>

namespace rg_com_ptl_xyh {

// Elements open inside one another.
inline constexpr int kMaxHtmlDepth = 512;
// What the parser's tree may take, estimated from what it holds: measured
// with the Gumbo of Debian 12 on 64 bits, an element takes about 212 bytes,
// a run of text 180, a comment 190 and an attribute 170. The bound lets a
// table of 250 000 one-cell rows through and keeps a whole parse well below
// 200 MB.
inline constexpr std::size_t kElementBytes = 212;
inline constexpr std::size_t kTextBytes = 180;
inline constexpr std::size_t kCommentBytes = 190;
inline constexpr std::size_t kAttributeBytes = 170;
inline constexpr std::size_t kMaxHtmlTreeBytes = 152'000'000;
// Attributes of one tag.
inline constexpr int kMaxHtmlAttributes = 256;
// Parse errors the parser keeps a record of.
inline constexpr int kMaxHtmlErrors = 100;

struct rg_HtmlShape {
  int depth = 0;              // deepest nesting seen (stops counting past the bound)
  std::size_t treeBytes = 0;  // the estimate above
  int attributes = 0;         // most attributes on one tag
  bool aborted = false;
  bool WithinBounds() const {
    return !aborted && depth <= kMaxHtmlDepth && treeBytes <= kMaxHtmlTreeBytes &&
           attributes <= kMaxHtmlAttributes;
  }
};

// An estimate from the bytes alone, never below what the parser will build
// for the pages that matter: end tags close what they name, elements that
// close themselves (void elements, a new <p>, <li>, <td> after one of their
// kind) do not nest, and the text of script, style, textarea and title is
// not markup. Stops early once a bound is passed, or when abort is set.
rg_HtmlShape ScanHtmlShape(std::string_view html, const std::atomic<bool>* abort = nullptr);

}  // namespace rg_com_ptl_xyh
