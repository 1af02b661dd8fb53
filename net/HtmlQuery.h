#pragma once
// rg_GaoJiWangYeJieXiQi: the parsed page; rg_WangYeYuanSuLei: a selection;
// rg_WangYeJieDianLei: one node.
// CSS-selector queries over an HTML page: a document, a selection (the
// elements a query found, in document order) and a node. Texts come back as
// UTF-16. Copies of a selection or node share the parsed page, which lives
// as long as any of them.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct GumboInternalNode;
typedef struct GumboInternalNode GumboNode;

namespace rg_com_ptl_xyh {

struct HtmlTree;
class rg_WangYeJieDianLei;

class rg_WangYeYuanSuLei {
 public:
  // No selection at all (not the same as an empty one).
  bool Null() const { return tree_ == nullptr; }
  size_t Count() const { return nodes_.size(); }
  // An index at or beyond the count gives the first element; false when
  // there is none.
  bool NodeAt(size_t index, rg_WangYeJieDianLei& node) const;

 private:
  friend class rg_GaoJiWangYeJieXiQi;
  friend class rg_WangYeJieDianLei;
  std::shared_ptr<const HtmlTree> tree_;
  std::vector<const GumboNode*> nodes_;
};

class rg_WangYeJieDianLei {
 public:
  bool Null() const { return node_ == nullptr; }
  // Matches among the node's descendants; false for a bad selector.
  bool Find(std::string_view selector, rg_WangYeYuanSuLei& out) const;
  // Children as the parser built them, text nodes included.
  size_t ChildCount() const;
  bool ChildAt(size_t index, rg_WangYeJieDianLei& child) const;
  // Empty for a missing attribute.
  std::u16string Attribute(std::string_view name) const;
  // The node's own text and that of all its descendants.
  std::u16string Text() const;
  // Only the text directly inside the node.
  std::u16string OwnText() const;

 private:
  friend class rg_WangYeYuanSuLei;
  std::shared_ptr<const HtmlTree> tree_;
  const GumboNode* node_ = nullptr;
};

class rg_GaoJiWangYeJieXiQi {
 public:
  // A flag owned by the caller: once set, a parse or query under way stops
  // and reports failure (an empty selection for a query).
  void SetAbortFlag(const std::atomic<bool>* flag) { abort_ = flag; }
  // UTF-8 page bytes; nullopt (no data) does not parse, nor does a page
  // beyond the bounds of net/HtmlBounds.h.
  bool Parse(std::optional<std::string_view> utf8);
  bool Parsed() const { return tree_ != nullptr; }
  // Matches every element of the page; false for a bad selector or an
  // unparsed document.
  bool Find(std::string_view selector, rg_WangYeYuanSuLei& out) const;

 private:
  std::shared_ptr<const HtmlTree> tree_;
  const std::atomic<bool>* abort_ = nullptr;
};

}  // namespace rg_com_ptl_xyh
