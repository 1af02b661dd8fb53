#pragma once
// The CSS selectors the scraper needs, and a little more: type and "*",
// .class, #id, [attr], [attr=value], :nth-child(an+b), the child ">" and
// descendant combinators, and selector lists.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct GumboInternalNode;
typedef struct GumboInternalNode GumboNode;

namespace rg_com_ptl_xyh {

struct rg_CssCompound {
  std::string tag;  // lower case; empty for any element
  std::vector<std::string> classes;
  std::vector<std::string> ids;
  struct Attribute {
    std::string name;  // lower case
    std::optional<std::string> value;
  };
  std::vector<Attribute> attributes;
  struct NthChild {
    long a = 0;
    long b = 0;
  };
  std::vector<NthChild> nthChildren;
};

struct rg_CssComplex {
  // compounds[i] is joined to compounds[i + 1] by combinators[i]:
  // '>' for a child, ' ' for a descendant.
  std::vector<rg_CssCompound> compounds;
  std::vector<char> combinators;
};

// Positions of elements among their element siblings, counted once per
// parent: a query over a long table stays linear in its rows.
class rg_SiblingIndex {
 public:
  // 1-based.
  long Of(const GumboNode* element);

 private:
  std::unordered_map<const GumboNode*, std::vector<std::uint32_t>> byParent_;
};

class rg_CssSelector {
 public:
  // nullopt for text that is not a selector this matcher knows.
  static std::optional<rg_CssSelector> Parse(std::string_view text);
  // index: where :nth-child looks positions up; without one they are
  // counted afresh.
  bool Matches(const GumboNode* element, rg_SiblingIndex* index = nullptr) const;

  const std::vector<rg_CssComplex>& Alternatives() const { return list_; }

 private:
  std::vector<rg_CssComplex> list_;
};

}  // namespace rg_com_ptl_xyh
