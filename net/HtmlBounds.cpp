#include "net/HtmlBounds.h"

#include <array>
#include <cstring>
#include <vector>

namespace rg_com_ptl_xyh {

namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) {
    if (SameName(name, n)) return true;
  }
  return false;
}

bool IsVoid(std::string_view name) {
  return OneOf(name, {"area",   "base",     "br",      "col",   "embed",  "hr",      "img",
                      "input",  "link",     "meta",    "param", "source", "track",   "wbr",
                      "keygen", "basefont", "bgsound", "frame", "image",  "isindex", "menuitem"});
}

// Elements the parser treats as blocks: an end tag of an inline element
// does not reach past them, and a new list item does not close an item
// outside them.
bool IsSpecial(std::string_view name) {
  return OneOf(name,
               {"address",  "applet",  "article",  "aside",      "blockquote", "body",    "button",
                "caption",  "center",  "colgroup", "dd",         "details",    "dir",     "div",
                "dl",       "dt",      "fieldset", "figcaption", "figure",     "footer",  "form",
                "frameset", "h1",      "h2",       "h3",         "h4",         "h5",      "h6",
                "head",     "header",  "hgroup",   "html",       "li",         "listing", "main",
                "marquee",  "menu",    "nav",      "noscript",   "object",     "ol",      "p",
                "pre",      "section", "select",   "summary",    "table",      "tbody",   "td",
                "template", "tfoot",   "th",       "thead",      "tr",         "ul",      "svg",
                "math"});
}

// Where the search for an open element of a block's name stops.
bool IsScopeBoundary(std::string_view name) {
  return OneOf(name, {"applet", "caption", "html", "table", "td", "th", "marquee", "object",
                      "template", "svg", "math"});
}

bool IsTablePart(std::string_view name) {
  return OneOf(name, {"tr", "td", "th", "tbody", "thead", "tfoot"});
}

// Elements whose content is text, up to their own end tag.
bool HoldsRawText(std::string_view name) {
  return OneOf(name, {"script", "style", "textarea", "title", "xmp", "iframe", "noembed",
                      "noframes", "plaintext"});
}

// Position of "</name" (any letter case) at or after from; npos if none.
size_t FindEndTag(std::string_view html, size_t from, std::string_view name) {
  while (true) {
    const size_t lt = html.find("</", from);
    if (lt == std::string_view::npos) return lt;
    if (lt + 2 + name.size() <= html.size() && SameName(html.substr(lt + 2, name.size()), name))
      return lt;
    from = lt + 2;
  }
}

// Past the end of the comment, doctype or processing instruction whose
// '!' or '?' stands at i; npos when it has no end.
size_t DeclarationEnd(std::string_view html, size_t i) {
  const bool comment = html.substr(i, 3) == "!--";
  const size_t end = comment ? html.find("-->", i + 3) : html.find('>', i);
  if (end == std::string_view::npos) return end;
  return end + (comment ? 3 : 1);
}

// What follows a tag's name up to its '>'.
struct TagRest {
  int attributes = 0;  // names that start after a separator
  bool selfClosing = false;
  size_t end = 0;  // the '>', or the end of the text
};

TagRest ReadTagRest(std::string_view html, size_t j) {
  TagRest rest;
  bool separated = true;
  while (j < html.size() && html[j] != '>') {
    const char k = html[j];
    if (k == '"' || k == '\'') {
      const size_t close = html.find(k, j + 1);
      if (close == std::string_view::npos) {
        j = html.size();
        break;
      }
      j = close + 1;
      separated = true;
      continue;
    }
    if (IsSpace(k) || k == '/') {
      separated = true;
      rest.selfClosing = k == '/';
    } else {
      if (separated && k != '=') ++rest.attributes;
      separated = false;
      rest.selfClosing = false;
    }
    ++j;
  }
  rest.end = j;
  return rest;
}

bool IsForeign(std::string_view name) { return SameName(name, "svg") || SameName(name, "math"); }

// The elements open at a point of the scan, innermost last, as the
// parser's stack of open elements holds them.
class OpenElements {
 public:
  OpenElements() { open_.reserve(64); }

  size_t Depth() const { return open_.size(); }
  bool InForeign() const { return foreign_ > 0; }

  // Closes the nearest open element of that name and all inside it, as
  // far as the parser would look for it.
  void CloseByEndTag(std::string_view name) {
    const bool special = IsSpecial(name);
    for (size_t k = open_.size(); k > 0; --k) {
      if (SameName(open_[k - 1], name)) {
        CloseFrom(k - 1);
        return;
      }
      if (special ? IsScopeBoundary(open_[k - 1]) : IsSpecial(open_[k - 1])) return;
    }
  }

  // Closes what a start tag of that name implies is finished; false when
  // the parser drops the tag.
  bool CloseForStartTag(std::string_view name) {
    if (IsTablePart(name)) return CloseForTablePart(name);
    if (SameName(name, "p")) {
      for (size_t k = open_.size(); k > 0; --k) {
        if (SameName(open_[k - 1], "p")) {
          CloseFrom(k - 1);
          break;
        }
        if (IsScopeBoundary(open_[k - 1]) || SameName(open_[k - 1], "button")) break;
      }
    } else if (SameName(name, "li") || SameName(name, "dt") || SameName(name, "dd")) {
      const bool item = SameName(name, "li");
      for (size_t k = open_.size(); k > 0; --k) {
        const std::string_view o = open_[k - 1];
        if (item ? SameName(o, "li") : (SameName(o, "dt") || SameName(o, "dd"))) {
          CloseFrom(k - 1);
          break;
        }
        if (IsSpecial(o) && !OneOf(o, {"address", "div", "p"})) break;
      }
    } else if (OneOf(name, {"a", "nobr", "button", "option"}) && !open_.empty() &&
               SameName(open_.back(), name)) {
      CloseFrom(open_.size() - 1);
    }
    return true;
  }

  void Open(std::string_view name) {
    open_.push_back(name);
    foreign_ += IsForeign(name) ? 1 : 0;
  }

 private:
  // Outside a table these are dropped; inside one a new row closes the
  // open row, a new cell the open cell.
  bool CloseForTablePart(std::string_view name) {
    size_t table = open_.size();
    while (table > 0 && !SameName(open_[table - 1], "table")) --table;
    if (table == 0) return false;
    const bool row = SameName(name, "tr");
    const bool cell = SameName(name, "td") || SameName(name, "th");
    for (size_t k = open_.size(); k > table; --k) {
      const std::string_view o = open_[k - 1];
      const bool closes =
          cell  ? (SameName(o, "td") || SameName(o, "th"))
          : row ? SameName(o, "tr")
                : (SameName(o, "tbody") || SameName(o, "thead") || SameName(o, "tfoot"));
      if (closes) {
        CloseFrom(k - 1);
        break;
      }
    }
    return true;
  }

  void CloseFrom(size_t k) {
    for (size_t m = k; m < open_.size(); ++m) foreign_ -= IsForeign(open_[m]) ? 1 : 0;
    open_.resize(k);
  }

  std::vector<std::string_view> open_;
  int foreign_ = 0;  // svg and math elements open
};

}  // namespace

rg_HtmlShape ScanHtmlShape(std::string_view html, const std::atomic<bool>* abort) {
  rg_HtmlShape shape;
  OpenElements open;
  size_t i = 0;
  size_t nextAbortCheck = 0;
  const auto over = [&shape] { return !shape.WithinBounds(); };
  while (i < html.size() && !over()) {
    if (i >= nextAbortCheck) {
      if (abort != nullptr && abort->load(std::memory_order_relaxed)) {
        shape.aborted = true;
        break;
      }
      nextAbortCheck = i + std::size_t{64} * 1024;
    }
    const void* found = std::memchr(html.data() + i, '<', html.size() - i);
    const size_t lt = found != nullptr
                          ? static_cast<size_t>(static_cast<const char*>(found) - html.data())
                          : html.size();
    if (lt > i) shape.treeBytes += kTextBytes;  // the text before it
    if (found == nullptr) break;
    i = lt + 1;
    if (i >= html.size()) break;
    const char c = html[i];
    if (c == '!' || c == '?') {
      // Comment, doctype or processing instruction: one node.
      shape.treeBytes += kCommentBytes;
      i = DeclarationEnd(html, i);
      if (i == std::string_view::npos) break;
      continue;
    }
    const bool closing = c == '/';
    const size_t nameStart = closing ? i + 1 : i;
    if (nameStart >= html.size() || !IsAsciiAlpha(html[nameStart])) continue;  // text, not a tag
    size_t j = nameStart;
    while (j < html.size() && !IsSpace(html[j]) && html[j] != '/' && html[j] != '>') ++j;
    const std::string_view name = html.substr(nameStart, j - nameStart);
    const TagRest rest = ReadTagRest(html, j);
    i = rest.end < html.size() ? rest.end + 1 : rest.end;
    if (closing) {
      open.CloseByEndTag(name);
      continue;
    }
    shape.treeBytes += kElementBytes + kAttributeBytes * static_cast<size_t>(rest.attributes);
    if (rest.attributes > shape.attributes) shape.attributes = rest.attributes;
    if (HoldsRawText(name)) {
      const size_t end = FindEndTag(html, i, name);
      if (end == std::string_view::npos) break;
      if (end > i) shape.treeBytes += kTextBytes;  // its text, one node
      i = end;
      continue;
    }
    if (IsVoid(name)) continue;
    // "/>" ends an element only inside svg or math.
    if (rest.selfClosing && open.InForeign()) continue;
    if (!open.CloseForStartTag(name)) continue;
    open.Open(name);
    if (static_cast<int>(open.Depth()) > shape.depth) shape.depth = static_cast<int>(open.Depth());
  }
  return shape;
}

}  // namespace rg_com_ptl_xyh
