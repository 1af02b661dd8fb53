// Any text as a CSS selector, run over a small fixed page.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/HtmlQuery.h"

using namespace rg_com_ptl_xyh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rg_GaoJiWangYeJieXiQi page = [] {
    rg_GaoJiWangYeJieXiQi d;
    d.Parse(std::string_view(
        "<table class=kjtable><tbody><tr><td id=a>1</td><td class='red x'>2</td></tr></tbody>"
        "<tbody><tr><td><span class=red>03</span><span class=blue>07</span></td></tr></tbody></table>"
        "<div class=more-time-cont><a href=x><div class=kaij-tit>t<span>d</span></div></a></div>"));
    return d;
  }();
  rg_WangYeYuanSuLei found;
  if (page.Find(std::string_view(reinterpret_cast<const char*>(data), size), found)) {
    for (size_t i = 0; i < found.Count(); ++i) {
      rg_WangYeJieDianLei node;
      found.NodeAt(i, node);
      (void)node.Text();
    }
  }
  return 0;
}
