#include "net/HtmlQuery.h"

#include <gumbo.h>

#include "net/CssSelector.h"
#include "net/GumboShim.h"
#include "net/HtmlBounds.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

// The parsed page and the bytes it points into.
struct HtmlTree {
  std::string bytes;
  GumboOptions options{};
  GumboOutput* output = nullptr;
  const std::atomic<bool>* abort = nullptr;
  // Built on the first :nth-child query; a tree is used on one thread.
  mutable rg_SiblingIndex siblings;
  ~HtmlTree() {
    if (output != nullptr) gumbo_destroy_output(&options, output);
  }
  bool Aborted() const { return abort != nullptr && abort->load(std::memory_order_relaxed); }
};

namespace {

const GumboVector* Children(const GumboNode* n) {
  switch (n->type) {
    case GUMBO_NODE_DOCUMENT: return &n->v.document.children;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE: return &n->v.element.children;
    default: return nullptr;
  }
}

bool IsText(const GumboNode* n) {
  return n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE ||
         n->type == GUMBO_NODE_CDATA;
}

// Every element below root in document order (root itself excluded); an
// explicit stack, since pages can nest deeper than the call stack likes.
// False when the tree's abort flag ended the walk.
bool Collect(const HtmlTree& tree, const GumboNode* root, const rg_CssSelector& selector,
             std::vector<const GumboNode*>& out) {
  std::vector<const GumboNode*> stack;
  const auto pushChildren = [&stack](const GumboNode* n) {
    if (const GumboVector* children = Children(n)) {
      for (unsigned i = children->length; i > 0; --i)
        stack.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
    }
  };
  pushChildren(root);
  for (unsigned visited = 0; !stack.empty(); ++visited) {
    if (visited % 4096 == 0 && tree.Aborted()) {
      out.clear();
      return false;
    }
    const GumboNode* n = stack.back();
    stack.pop_back();
    if (n->type != GUMBO_NODE_ELEMENT && n->type != GUMBO_NODE_TEMPLATE) continue;
    if (selector.Matches(n, &tree.siblings)) out.push_back(n);
    pushChildren(n);
  }
  return true;
}

void AppendText(const GumboNode* root, std::string& out) {
  std::vector<const GumboNode*> stack{root};
  while (!stack.empty()) {
    const GumboNode* n = stack.back();
    stack.pop_back();
    if (IsText(n)) {
      out += n->v.text.text;
    } else if (const GumboVector* children = Children(n)) {
      for (unsigned i = children->length; i > 0; --i)
        stack.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
    }
  }
}

}  // namespace

bool rg_GaoJiWangYeJieXiQi::Parse(std::optional<std::string_view> utf8) {
  tree_.reset();
  if (!utf8) return false;
  // The parser cannot be stopped once it runs: what it is given is bounded
  // first, so that it always ends soon.
  if (!ScanHtmlShape(*utf8, abort_).WithinBounds()) return false;
  // Without the parser library no page can be read.
  const GumboOptions* defaults = GumboDefaultOptions();
  if (defaults == nullptr) return false;
  auto tree = std::make_shared<HtmlTree>();
  tree->abort = abort_;
  tree->bytes.assign(utf8->data(), utf8->size());
  tree->options = *defaults;
  tree->options.max_errors = kMaxHtmlErrors;
  tree->output = gumbo_parse_with_options(&tree->options, tree->bytes.data(), tree->bytes.size());
  if (tree->output != nullptr && tree->Aborted()) return false;
  if (tree->output == nullptr) return false;
  tree_ = std::move(tree);
  return true;
}

bool rg_GaoJiWangYeJieXiQi::Find(std::string_view selector, rg_WangYeYuanSuLei& out) const {
  out = rg_WangYeYuanSuLei();
  const auto parsed = rg_CssSelector::Parse(selector);
  if (!tree_ || !parsed) return false;
  out.tree_ = tree_;
  return Collect(*tree_, tree_->output->document, *parsed, out.nodes_);
}

bool rg_WangYeYuanSuLei::NodeAt(size_t index, rg_WangYeJieDianLei& node) const {
  node = rg_WangYeJieDianLei();
  if (nodes_.empty()) return false;
  node.tree_ = tree_;
  node.node_ = nodes_[index < nodes_.size() ? index : 0];
  return true;
}

bool rg_WangYeJieDianLei::Find(std::string_view selector, rg_WangYeYuanSuLei& out) const {
  out = rg_WangYeYuanSuLei();
  const auto parsed = rg_CssSelector::Parse(selector);
  if (node_ == nullptr || !parsed) return false;
  out.tree_ = tree_;
  return Collect(*tree_, node_, *parsed, out.nodes_);
}

size_t rg_WangYeJieDianLei::ChildCount() const {
  if (node_ == nullptr) return 0;
  const GumboVector* children = Children(node_);
  return children != nullptr ? children->length : 0;
}

bool rg_WangYeJieDianLei::ChildAt(size_t index, rg_WangYeJieDianLei& child) const {
  child = rg_WangYeJieDianLei();
  if (index >= ChildCount()) return false;
  child.tree_ = tree_;
  child.node_ = static_cast<const GumboNode*>(Children(node_)->data[index]);
  return true;
}

std::u16string rg_WangYeJieDianLei::Attribute(std::string_view name) const {
  if (node_ == nullptr || (node_->type != GUMBO_NODE_ELEMENT && node_->type != GUMBO_NODE_TEMPLATE))
    return {};
  const GumboAttribute* a =
      gumbo_get_attribute(&node_->v.element.attributes, std::string(name).c_str());
  return a != nullptr ? FromUtf8(a->value) : std::u16string();
}

std::u16string rg_WangYeJieDianLei::Text() const {
  if (node_ == nullptr) return {};
  std::string text;
  AppendText(node_, text);
  return FromUtf8(text);
}

std::u16string rg_WangYeJieDianLei::OwnText() const {
  if (node_ == nullptr) return {};
  if (IsText(node_)) return FromUtf8(node_->v.text.text);
  std::string text;
  if (const GumboVector* children = Children(node_)) {
    for (unsigned i = 0; i < children->length; ++i) {
      const auto* child = static_cast<const GumboNode*>(children->data[i]);
      if (IsText(child)) text += child->v.text.text;
    }
  }
  return FromUtf8(text);
}

}  // namespace rg_com_ptl_xyh
