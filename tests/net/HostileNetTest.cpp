// Servers that answer badly on purpose: other schemes behind redirects,
// bodies without end, pages that cost the parser more than their size.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>

#include "draws/DrawScraper.h"
#include "net/HtmlBounds.h"
#include "net/HtmlQuery.h"
#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "support/TestServer.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

rg_NetworkScope network;

std::string Repeat(std::string_view piece, size_t n) {
  std::string out;
  out.reserve(piece.size() * n);
  for (size_t i = 0; i < n; ++i) out += piece;
  return out;
}

int Count(const TestServer& server, const std::string& path) {
  rg_WangLaoFangWenLei client;
  return std::stoi(client.Access(server.Url16("/count" + path)).body);
}

struct HostileServer : ::testing::Test {
  TempDir root;
  TestServer server{root.path()};
  TestServer other{root.path()};  // the leg a redirect must not reach
  std::string FtpUrl() {
    rg_WangLaoFangWenLei client;
    return "ftp://127.0.0.1:" + client.Access(server.Url16("/ftpport")).body + "/installer.run";
  }
  std::u16string Goto(const std::string& target) { return server.Url16("/goto?" + target); }
};

}  // namespace

TEST_F(HostileServer, RedirectsKeepToTheSchemesOfTheTransfer) {
  rg_WangLaoFangWenLei pages;  // result pages: http and https
  EXPECT_EQ(pages.Access(Goto(other.Url("/status/200"))).status, 200);
  const auto ftp = pages.Access(Goto(FtpUrl()));
  EXPECT_EQ(ftp.status, 0);
  EXPECT_EQ(Count(server, "/ftp"), 0);

  rg_WangLaoFangWenLei https;  // manifest and installer: https only
  https.SetProtocols(kHttpsOnly);
  EXPECT_EQ(https.Access(server.Url16("/status/200")).status, 0);  // not even the first request
  EXPECT_EQ(Count(server, "/status/200"), 0);
  TempDir target;
  EXPECT_EQ(https.Download(Goto(FtpUrl()), target.path() / "x.run", nullptr).status, 0);
  EXPECT_FALSE(std::filesystem::exists(target.path() / "x.run"));
  EXPECT_EQ(Count(server, "/ftp"), 0);
}

TEST_F(HostileServer, RedirectsAreBounded) {
  rg_WangLaoFangWenLei client;
  const auto at = client.Access(server.Url16("/redirect/" + std::to_string(kMaxRedirects)));
  EXPECT_EQ(at.status, 200);
  EXPECT_EQ(at.redirects, kMaxRedirects);
  EXPECT_EQ(client.Access(server.Url16("/redirect/" + std::to_string(kMaxRedirects + 1))).status,
            0);
}

TEST_F(HostileServer, BodiesAreBoundedWithOrWithoutALength) {
  rg_WangLaoFangWenLei client;
  rg_TransferLimits limits;
  limits.maxBytes = 100'000;
  client.SetLimits(limits);
  for (const char* route : {"/pad/", "/chunked/"}) {
    const auto at = client.Access(server.Url16(route + std::to_string(limits.maxBytes)));
    EXPECT_EQ(at.status, 200) << route;
    EXPECT_EQ(at.body.size(), 100'000u) << route;
    const auto over = client.Access(server.Url16(route + std::to_string(limits.maxBytes + 1)));
    EXPECT_EQ(over.status, 0) << route;
    EXPECT_TRUE(over.body.empty()) << route;
  }
  const auto endless = client.Access(server.Url16("/endless"));
  EXPECT_EQ(endless.status, 0);
  EXPECT_TRUE(endless.body.empty());
}

TEST_F(HostileServer, AFailedDownloadLeavesNoFile) {
  TempDir target;
  const auto file = target.path() / "x.run";
  rg_WangLaoFangWenLei client;
  rg_TransferLimits limits;
  limits.maxBytes = 100'000;
  client.SetLimits(limits);
  EXPECT_EQ(client.Download(server.Url16("/chunked/100000"), file, nullptr).status, 200);
  EXPECT_EQ(std::filesystem::file_size(file), 100'000u);
  EXPECT_EQ(client.Download(server.Url16("/chunked/100001"), file, nullptr).status, 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(client.Download(server.Url16("/endless"), file, nullptr).status, 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(client.Download(server.Url16("/status/404"), file, nullptr).status, 404);
  EXPECT_FALSE(std::filesystem::exists(file));

  // A trickle is given up on its average rate (a short window here; the
  // installer download uses a minute).
  limits.lowSpeedBytes = 1024;
  limits.lowSpeedSeconds = 2;
  limits.totalMs = 0;
  client.SetLimits(limits);
  EXPECT_EQ(client.Download(server.Url16("/slow/100000/1/500"), file, nullptr).status, 0);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(HostileServer, AResultsPageAtTheBoundIsReadAndOneByteMoreIsNot) {
  rg_DrawSources sources;
  sources.resultsHome = server.Url16("/pad/" + std::to_string(kMaxPageBytes));
  EXPECT_EQ(fetchResultsHome(sources).size(), static_cast<size_t>(kMaxPageBytes));
  sources.resultsHome = server.Url16("/pad/" + std::to_string(kMaxPageBytes + 1));
  EXPECT_TRUE(fetchResultsHome(sources).empty());
  sources.resultsHome = server.Url16("/endless");
  EXPECT_TRUE(fetchResultsHome(sources).empty());
  sources.resultsHome = Goto(FtpUrl());
  EXPECT_TRUE(fetchResultsHome(sources).empty());
  EXPECT_EQ(Count(server, "/ftp"), 0);
}

TEST(HtmlShape, NestingBeyondTheBoundIsRefusedBeforeParsing) {
  const auto nested = [](size_t n) { return Repeat("<div>", n) + "x" + Repeat("</div>", n); };
  EXPECT_EQ(ScanHtmlShape(nested(kMaxHtmlDepth)).depth, kMaxHtmlDepth);
  rg_GaoJiWangYeJieXiQi page;
  EXPECT_TRUE(page.Parse(nested(kMaxHtmlDepth)));
  EXPECT_FALSE(page.Parse(nested(kMaxHtmlDepth + 1)));
  EXPECT_FALSE(page.Parse(nested(100'000)));
  EXPECT_FALSE(page.Parse(Repeat("<b>", 20'000)));
  // Unclosed cells and rows, paragraphs and items do not nest.
  const std::string sloppy =
      "<table class=kjtable><tbody>" + Repeat("<tr><td>1<td><b>2<td>3", 2'000) + "</table>" +
      Repeat("<p>text", 2'000) + "<ul>" + Repeat("<li>item", 2'000) + "</ul>";
  EXPECT_LT(ScanHtmlShape(sloppy).depth, 10);
  EXPECT_TRUE(page.Parse(sloppy));
  // An end tag does not reach past a cell, nor a stray cell close a div.
  EXPECT_GT(ScanHtmlShape(Repeat("<div><table><tr><td></div>", 600)).depth, kMaxHtmlDepth);
  EXPECT_GT(ScanHtmlShape(Repeat("<td><div>", 600)).depth, kMaxHtmlDepth);
  EXPECT_GT(ScanHtmlShape(Repeat("<div/>", 600)).depth, kMaxHtmlDepth);
  // Markup inside a script is text.
  EXPECT_EQ(ScanHtmlShape("<script>" + Repeat("<div>", 1'000) + "</script>").depth, 0);
}

TEST(HtmlShape, TheTreeSizeAndAttributesAreBounded) {
  rg_GaoJiWangYeJieXiQi page;
  const size_t elements = kMaxHtmlTreeBytes / kElementBytes;
  EXPECT_EQ(ScanHtmlShape(Repeat("<i></i>", elements)).treeBytes, elements * kElementBytes);
  EXPECT_TRUE(page.Parse(Repeat("<i></i>", elements)));
  EXPECT_FALSE(page.Parse(Repeat("<i></i>", elements + 1)));
  // Text between tags, comments and attributes count too.
  EXPECT_EQ(ScanHtmlShape("<p a=1 b='2'>x<!-- <p> -->y</p>z").treeBytes,
            kElementBytes + 2 * kAttributeBytes + 3 * kTextBytes + kCommentBytes);
  // The table of 250 000 one-cell rows is let through.
  EXPECT_LE(ScanHtmlShape("<table class=\"kjtable\"><tbody>" +
                          Repeat("<tr><td>1</td></tr>", 250'000) + "</tbody></table>")
                .treeBytes,
            kMaxHtmlTreeBytes);
  std::string attributes = "<div";
  for (int i = 0; i < kMaxHtmlAttributes; ++i) attributes += " a" + std::to_string(i) + "=\"1 2\"";
  EXPECT_TRUE(page.Parse(attributes + ">"));
  EXPECT_FALSE(page.Parse(attributes + " last>"));
}

TEST(HtmlShape, AnAbortedParseOrQueryFails) {
  std::atomic<bool> abort{true};
  rg_GaoJiWangYeJieXiQi page;
  page.SetAbortFlag(&abort);
  EXPECT_FALSE(page.Parse("<table><tr><td>1</td></tr></table>"));
  abort = false;
  ASSERT_TRUE(page.Parse("<table><tr><td>1</td></tr></table>"));
  abort = true;
  rg_WangYeYuanSuLei cells;
  EXPECT_FALSE(page.Find("td", cells));
  EXPECT_EQ(cells.Count(), 0u);
}

TEST(HtmlShape, NthChildOverALongTable) {
  std::string table = "<table class=\"kjtable\"><tbody>";
  for (int i = 1; i <= 50'000; ++i) table += "<tr><td>" + std::to_string(i) + "</td></tr>\n";
  table += "</tbody></table>";
  rg_GaoJiWangYeJieXiQi page;
  ASSERT_TRUE(page.Parse(table));
  for (const char* nth : {"1", "49999", "50000", "2n+1", "-n+3"}) {
    rg_WangYeYuanSuLei cells;
    ASSERT_TRUE(page.Find(
        std::string(".kjtable > tbody:nth-child(1) > tr:nth-child(") + nth + ") > td", cells));
    rg_WangYeJieDianLei cell;
    ASSERT_TRUE(cells.NodeAt(0, cell)) << nth;
    if (std::string(nth) == "49999") {
      EXPECT_EQ(cell.OwnText(), u"49999");
    } else if (std::string(nth) == "2n+1") {
      EXPECT_EQ(cells.Count(), 25'000u);
    } else if (std::string(nth) == "-n+3") {
      EXPECT_EQ(cells.Count(), 3u);
    }
  }
}

TEST(DrawTableHostile, AShortRowIsNotFound) {
  const std::string row =
      "<table class=\"kjtable\"><tbody><tr></tr><tr></tr><tr><td>双色球</td><td>x</td>"
      "<td>2024062</td><td>2024-06-02</td>";
  for (const char* rest : {"", "<td><span class=\"red\">01</span></td>"}) {
    const std::string body = row + rest + "</tr></tbody></table>";
    const rg_DrawRecord r = parseDrawTableRow(1, 3, u"双色球", u"red", &body);
    EXPECT_EQ(r.status, *rest ? 200 : -80);
  }
  const std::string shortRow =
      "<table class=\"kjtable\"><tbody><tr></tr><tr></tr><tr><td>2024062</td>"
      "</tr></tbody></table>";
  const rg_DrawRecord r = parseDrawTableRow(1, 3, u"双色球", u"red", &shortRow);
  EXPECT_EQ(r.status, -80);
  EXPECT_EQ(r.issue, u"");
  EXPECT_EQ(r.date, u"");
}
