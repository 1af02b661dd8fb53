#include "net/CssSelector.h"

#include <gumbo.h>

#include <cctype>
#include <cstring>

namespace rg_com_ptl_xyh {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}
  bool AtEnd() const { return i_ >= s_.size(); }
  char Peek() const { return AtEnd() ? '\0' : s_[i_]; }
  char Take() { return AtEnd() ? '\0' : s_[i_++]; }
  bool SkipSpace() {
    const size_t start = i_;
    while (!AtEnd() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    return i_ != start;
  }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++i_;
    return true;
  }
  // An identifier: letters, digits, '-', '_', and any non-ASCII byte.
  std::string Ident() {
    std::string out;
    while (!AtEnd()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (std::isalnum(c) || c == '-' || c == '_' || c >= 0x80) {
        out.push_back(static_cast<char>(c));
        ++i_;
      } else if (c == '\\' && i_ + 1 < s_.size()) {
        out.push_back(s_[i_ + 1]);
        i_ += 2;
      } else {
        break;
      }
    }
    return out;
  }
  std::optional<std::string> Quoted(char quote) {
    std::string out;
    while (!AtEnd() && Peek() != quote) {
      if (Peek() == '\\' && i_ + 1 < s_.size()) ++i_;
      out.push_back(Take());
    }
    if (!Accept(quote)) return std::nullopt;
    return out;
  }
  std::string Until(char end) {
    std::string out;
    while (!AtEnd() && Peek() != end) out.push_back(Take());
    return out;
  }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "an+b", "odd", "even", or a plain number.
std::optional<rg_CssCompound::NthChild> ParseNth(const std::string& text) {
  std::string t;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c)))
      t.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  if (t == "odd") return rg_CssCompound::NthChild{2, 1};
  if (t == "even") return rg_CssCompound::NthChild{2, 0};
  const auto number = [](const std::string& s, long& out) {
    if (s.empty() || s.size() > 9) return false;
    size_t i = s[0] == '+' || s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t k = i; k < s.size(); ++k) {
      if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
    }
    out = std::stol(s);
    return true;
  };
  rg_CssCompound::NthChild nth;
  const size_t n = t.find('n');
  if (n == std::string::npos) {
    if (!number(t, nth.b)) return std::nullopt;
    return nth;
  }
  const std::string a = t.substr(0, n);
  const std::string b = t.substr(n + 1);
  if (a.empty() || a == "+") {
    nth.a = 1;
  } else if (a == "-") {
    nth.a = -1;
  } else if (!number(a, nth.a)) {
    return std::nullopt;
  }
  if (!b.empty() && (!(b[0] == '+' || b[0] == '-') || !number(b, nth.b))) return std::nullopt;
  return nth;
}

std::optional<rg_CssCompound> ParseCompound(Reader& r) {
  rg_CssCompound c;
  bool any = false;
  if (r.Accept('*')) {
    any = true;
  } else if (const std::string tag = r.Ident(); !tag.empty()) {
    c.tag = Lower(tag);
    any = true;
  }
  while (true) {
    if (r.Accept('.')) {
      const std::string name = r.Ident();
      if (name.empty()) return std::nullopt;
      c.classes.push_back(name);
    } else if (r.Accept('#')) {
      const std::string name = r.Ident();
      if (name.empty()) return std::nullopt;
      c.ids.push_back(name);
    } else if (r.Accept('[')) {
      r.SkipSpace();
      rg_CssCompound::Attribute attribute;
      attribute.name = Lower(r.Ident());
      if (attribute.name.empty()) return std::nullopt;
      r.SkipSpace();
      if (r.Accept('=')) {
        r.SkipSpace();
        if (r.Accept('"')) {
          attribute.value = r.Quoted('"');
        } else if (r.Accept('\'')) {
          attribute.value = r.Quoted('\'');
        } else {
          attribute.value = r.Ident();
          if (attribute.value->empty()) return std::nullopt;
        }
        if (!attribute.value) return std::nullopt;
        r.SkipSpace();
      }
      if (!r.Accept(']')) return std::nullopt;
      c.attributes.push_back(std::move(attribute));
    } else if (r.Accept(':')) {
      if (Lower(r.Ident()) != "nth-child" || !r.Accept('(')) return std::nullopt;
      const auto nth = ParseNth(r.Until(')'));
      if (!nth || !r.Accept(')')) return std::nullopt;
      c.nthChildren.push_back(*nth);
    } else {
      break;
    }
    any = true;
  }
  if (!any) return std::nullopt;
  return c;
}

const char* Attribute(const GumboNode* e, const char* name) {
  const GumboAttribute* a = gumbo_get_attribute(&e->v.element.attributes, name);
  return a != nullptr ? a->value : nullptr;
}

bool HasClass(const GumboNode* e, const std::string& name) {
  const char* value = Attribute(e, "class");
  if (value == nullptr) return false;
  std::string_view rest(value);
  while (!rest.empty()) {
    const size_t start = rest.find_first_not_of(" \t\n\r\f");
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    const size_t end = rest.find_first_of(" \t\n\r\f");
    if (rest.substr(0, end) == name) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
  }
  return false;
}

std::string TagName(const GumboNode* e) {
  if (e->v.element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e->v.element.tag);
  GumboStringPiece piece = e->v.element.original_tag;
  gumbo_tag_from_original_text(&piece);
  return Lower(std::string(piece.data, piece.length));
}

bool IsElement(const GumboNode* n) {
  return n != nullptr && (n->type == GUMBO_NODE_ELEMENT || n->type == GUMBO_NODE_TEMPLATE);
}

const GumboVector* SiblingsOf(const GumboNode* e) {
  const GumboNode* parent = e->parent;
  if (parent == nullptr ||
      (parent->type != GUMBO_NODE_ELEMENT && parent->type != GUMBO_NODE_TEMPLATE &&
       parent->type != GUMBO_NODE_DOCUMENT)) {
    return nullptr;
  }
  return parent->type == GUMBO_NODE_DOCUMENT ? &parent->v.document.children
                                             : &parent->v.element.children;
}

// 1-based position among the element siblings.
long ElementIndex(const GumboNode* e) {
  const GumboVector* siblings = SiblingsOf(e);
  if (siblings == nullptr) return 1;
  const GumboVector& children = *siblings;
  long index = 0;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (IsElement(child)) ++index;
    if (child == e) return index;
  }
  return index;
}

bool NthMatches(long a, long b, long index) {
  if (a == 0) return index == b;
  const long diff = index - b;
  return diff % a == 0 && diff / a >= 0;
}

bool MatchCompound(const rg_CssCompound& c, const GumboNode* e, rg_SiblingIndex* index) {
  if (!IsElement(e)) return false;
  if (!c.tag.empty() && TagName(e) != c.tag) return false;
  for (const auto& name : c.classes) {
    if (!HasClass(e, name)) return false;
  }
  for (const auto& id : c.ids) {
    const char* value = Attribute(e, "id");
    if (value == nullptr || id != value) return false;
  }
  for (const auto& attribute : c.attributes) {
    const char* value = Attribute(e, attribute.name.c_str());
    if (value == nullptr || (attribute.value && *attribute.value != value)) return false;
  }
  if (!c.nthChildren.empty()) {
    const long position = index != nullptr ? index->Of(e) : ElementIndex(e);
    for (const auto& nth : c.nthChildren) {
      if (!NthMatches(nth.a, nth.b, position)) return false;
    }
  }
  return true;
}

// Does element e, standing for compound k, have the ancestors the
// compounds before k ask for? Backtracking over descendant combinators can
// blow up on a hostile selector and a deep page, so the work per element is
// bounded; no selector of the program comes near the bound.
bool MatchFrom(const rg_CssComplex& s, size_t k, const GumboNode* e, long& budget,
               rg_SiblingIndex* index) {
  if (--budget < 0 || !MatchCompound(s.compounds[k], e, index)) return false;
  if (k == 0) return true;
  const char combinator = s.combinators[k - 1];
  for (const GumboNode* up = e->parent; IsElement(up); up = up->parent) {
    if (MatchFrom(s, k - 1, up, budget, index)) return true;
    if (combinator == '>' || budget < 0) return false;
  }
  return false;
}

}  // namespace

long rg_SiblingIndex::Of(const GumboNode* element) {
  const GumboVector* siblings = SiblingsOf(element);
  if (siblings == nullptr) return 1;
  auto [it, added] = byParent_.try_emplace(element->parent);
  std::vector<std::uint32_t>& positions = it->second;
  if (added) {
    // Position of each child by its index within the parent.
    positions.resize(siblings->length);
    std::uint32_t count = 0;
    for (unsigned i = 0; i < siblings->length; ++i) {
      if (IsElement(static_cast<const GumboNode*>(siblings->data[i]))) ++count;
      positions[i] = count;
    }
  }
  const size_t at = element->index_within_parent;
  if (at < positions.size() && siblings->data[at] == element) return positions[at];
  return ElementIndex(element);
}

std::optional<rg_CssSelector> rg_CssSelector::Parse(std::string_view text) {
  rg_CssSelector selector;
  Reader r(text);
  while (true) {
    rg_CssComplex complex;
    r.SkipSpace();
    while (true) {
      auto compound = ParseCompound(r);
      if (!compound) return std::nullopt;
      complex.compounds.push_back(std::move(*compound));
      const bool space = r.SkipSpace();
      if (r.Accept('>')) {
        r.SkipSpace();
        complex.combinators.push_back('>');
      } else if (r.AtEnd() || r.Peek() == ',') {
        break;
      } else if (space) {
        complex.combinators.push_back(' ');
      } else {
        return std::nullopt;
      }
    }
    selector.list_.push_back(std::move(complex));
    if (r.AtEnd()) break;
    if (!r.Accept(',')) return std::nullopt;
  }
  return selector;
}

bool rg_CssSelector::Matches(const GumboNode* element, rg_SiblingIndex* index) const {
  for (const rg_CssComplex& complex : list_) {
    long budget = 100'000;
    if (MatchFrom(complex, complex.compounds.size() - 1, element, budget, index)) return true;
  }
  return false;
}

}  // namespace rg_com_ptl_xyh
