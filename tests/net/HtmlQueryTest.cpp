#include <gtest/gtest.h>

#include "net/CssSelector.h"
#include "net/HtmlQuery.h"

using namespace rg_com_ptl_xyh;

namespace {

rg_GaoJiWangYeJieXiQi Page(std::string_view html) {
  rg_GaoJiWangYeJieXiQi document;
  EXPECT_TRUE(document.Parse(html));
  return document;
}

// The own texts of what a selector finds, joined with '|'.
std::u16string Found(const rg_GaoJiWangYeJieXiQi& document, std::string_view selector) {
  rg_WangYeYuanSuLei selection;
  if (!document.Find(selector, selection)) return u"(bad)";
  std::u16string out;
  for (size_t i = 0; i < selection.Count(); ++i) {
    rg_WangYeJieDianLei node;
    selection.NodeAt(i, node);
    if (i != 0) out += u"|";
    out += node.Text();
  }
  return out;
}

}  // namespace

TEST(HtmlQuery, OwnTextAndText) {
  const auto document = Page("<div id=x><b>1</b>2<i>3</i>4</div>");
  rg_WangYeYuanSuLei divs;
  ASSERT_TRUE(document.Find("#x", divs));
  rg_WangYeJieDianLei div;
  ASSERT_TRUE(divs.NodeAt(0, div));
  EXPECT_EQ(div.OwnText(), u"24");
  EXPECT_EQ(div.Text(), u"1234");
  EXPECT_EQ(div.ChildCount(), 4u);  // text nodes count as children
  rg_WangYeJieDianLei child;
  ASSERT_TRUE(div.ChildAt(1, child));
  EXPECT_EQ(child.OwnText(), u"2");
  EXPECT_EQ(child.Attribute("class"), u"");
  EXPECT_FALSE(div.ChildAt(4, child));
}

TEST(HtmlQuery, AnIndexPastTheEndGivesTheFirstElement) {
  const auto document = Page("<p>a</p><p>b</p><p>c</p>");
  rg_WangYeYuanSuLei ps;
  document.Find("p", ps);
  ASSERT_EQ(ps.Count(), 3u);
  rg_WangYeJieDianLei node;
  ASSERT_TRUE(ps.NodeAt(5, node));
  EXPECT_EQ(node.Text(), u"a");
  rg_WangYeYuanSuLei none;
  document.Find("span", none);
  EXPECT_FALSE(none.Null());
  EXPECT_EQ(none.Count(), 0u);
  EXPECT_FALSE(none.NodeAt(0, node));
  EXPECT_TRUE(node.Null());
}

TEST(HtmlQuery, ChineseAttributesComeBackUnchanged) {
  const auto document = Page("<a title=\"双色球 开奖\" data-x='第1期'>x</a>");
  rg_WangYeYuanSuLei links;
  document.Find("a[title]", links);
  rg_WangYeJieDianLei a;
  ASSERT_TRUE(links.NodeAt(0, a));
  EXPECT_EQ(a.Attribute("title"), u"双色球 开奖");
  EXPECT_EQ(a.Attribute("data-x"), u"第1期");
  EXPECT_EQ(Found(document, "a[title=\"双色球 开奖\"]"), u"x");
  EXPECT_EQ(Found(document, "a[title=双色球]"), u"");
}

TEST(HtmlQuery, SelectorsTheScraperAndMoreUse) {
  const auto document = Page(
      "<table class=kjtable><tr><td>a</td><td>b</td></tr><tr><td>c</td><td class='x y'>d</td></tr></table>"
      "<table class=kjtable><tbody></tbody><tbody><tr><td>e</td></tr></tbody></table>"
      "<div id=main><p>p1</p><div><p>p2</p></div><span>s</span></div>");
  // The parser's implicit tbody is there to select.
  EXPECT_EQ(Found(document, ".kjtable > tbody:nth-child(1) > tr:nth-child(2) > td"), u"c|d");
  EXPECT_EQ(Found(document, ".kjtable > tbody:nth-child(2) > tr > td"), u"e");
  EXPECT_EQ(Found(document, "TD.y"), u"d");
  EXPECT_EQ(Found(document, "td.x.y"), u"d");
  EXPECT_EQ(Found(document, "td.z"), u"");
  EXPECT_EQ(Found(document, "#main > p"), u"p1");
  EXPECT_EQ(Found(document, "#main p"), u"p1|p2");
  EXPECT_EQ(Found(document, "div p"), u"p1|p2");           // each element once
  EXPECT_EQ(Found(document, "span, #main > p"), u"p1|s");  // document order
  EXPECT_EQ(Found(document, "tr:nth-child(odd) > td:nth-child(2n)"), u"b");
  EXPECT_EQ(Found(document, "tr:nth-child(even) td:nth-child(-n+1)"), u"c");
  EXPECT_EQ(Found(document, "* > span"), u"s");
  for (const char* bad :
       {"", ".", "a >", "[x", "p:hover", "p:nth-child(x)", "a,,b", "#", "p[x=]", "a ~ b"}) {
    EXPECT_EQ(Found(document, bad), u"(bad)") << bad;
  }
}

TEST(HtmlQuery, NodeFindLooksOnlyBelowTheNode) {
  const auto document =
      Page("<div><span>1</span></div><div id=b><span>2</span><p><span>3</span></p></div>");
  rg_WangYeYuanSuLei divs;
  document.Find("#b", divs);
  rg_WangYeJieDianLei b;
  divs.NodeAt(0, b);
  rg_WangYeYuanSuLei spans;
  ASSERT_TRUE(b.Find("span", spans));
  EXPECT_EQ(spans.Count(), 2u);
  ASSERT_TRUE(b.Find("div > span", spans));  // ancestors above the node count
  EXPECT_EQ(spans.Count(), 1u);
}

TEST(HtmlQuery, NoDataDoesNotParse) {
  rg_GaoJiWangYeJieXiQi document;
  EXPECT_FALSE(document.Parse(std::nullopt));
  rg_WangYeYuanSuLei selection;
  EXPECT_FALSE(document.Find("p", selection));
  EXPECT_TRUE(selection.Null());
  EXPECT_TRUE(document.Parse(std::string_view("")));  // an empty text is still a page
  EXPECT_TRUE(document.Parse(std::string_view("\xFF\xFE<p>broken \x80 bytes</p>")));
  const std::u16string text = Found(document, "p");
  EXPECT_EQ(text.substr(0, 7), u"broken ");
  EXPECT_EQ(text.substr(text.size() - 6), u" bytes");
}

TEST(HtmlQuery, AHostileSelectorOnADeepPageStaysBounded) {
  std::string html;
  for (int i = 0; i < 400; ++i) html += "<div>";
  html += "<b>x</b>";
  const auto document = Page(html);
  std::string selector;
  for (int i = 0; i < 30; ++i) selector += "div ";
  selector += "p";
  EXPECT_EQ(Found(document, selector), u"");
  EXPECT_EQ(Found(document, "div div div b"), u"x");
}
