// Any bytes as a page: the first line is a selector, the rest the HTML.
// Every node found is walked the way the scraper walks it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/HtmlQuery.h"

using namespace rg_com_ptl_xyh;

namespace {

void Walk(const rg_WangYeJieDianLei& node, int depth) {
  (void)node.Attribute("class");
  (void)node.OwnText();
  if (depth > 3) return;
  for (size_t i = 0; i < node.ChildCount() && i < 8; ++i) {
    rg_WangYeJieDianLei child;
    node.ChildAt(i, child);
    Walk(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string_view selector =
      newline == std::string_view::npos ? std::string_view("div") : input.substr(0, newline);
  const std::string_view html =
      newline == std::string_view::npos ? input : input.substr(newline + 1);
  rg_GaoJiWangYeJieXiQi page;
  if (!page.Parse(html)) return 0;
  rg_WangYeYuanSuLei found;
  if (!page.Find(selector, found)) return 0;
  for (size_t i = 0; i < found.Count() && i < 64; ++i) {
    rg_WangYeJieDianLei node;
    found.NodeAt(i, node);
    (void)node.Text();
    Walk(node, 0);
    rg_WangYeYuanSuLei inner;
    node.Find("span", inner);
  }
  return 0;
}
