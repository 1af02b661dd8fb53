#include "draws/DrawScraper.h"

#include <array>
#include <optional>

#include "net/Charset.h"
#include "net/HtmlQuery.h"
#include "net/HttpClient.h"
#include "platform/Process.h"
#include "platform/Settings.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::array<rg_Lottery, 7> kLotteries = {{
    {LotteryCode::Kl8, u"快乐8", 0, 0, u"", false},
    {LotteryCode::DoubleColor, u"双色球", 1, 3, u"red", true},
    {LotteryCode::QiLeCai, u"七乐彩", 1, 5, u"red", true},
    {LotteryCode::Fc3d, u"福彩3D", 1, 4, u"red", false},
    {LotteryCode::DaLeTou, u"大乐透", 2, 3, u"yellow", false},
    {LotteryCode::PaiLie5, u"排列五", 2, 5, u"yellow", false},
    {LotteryCode::SevenStar, u"七星彩", 2, 6, u"yellow", true},
}};

// One ping, waiting at most this long for the answer.
constexpr int kPingWaitSeconds = 3;
// The cells a home-page row must have: issue, date and numbers are cells
// 2, 3 and 4.
constexpr size_t kRowCells = 5;

// why: set when nothing came, saying what stopped it (an empty address, a
// connection refused, a protocol not allowed, an HTTP status), so that a
// page that never came is told apart from one that did not parse.
std::string Fetch(const std::u16string& url, const char* charset, const std::atomic<bool>* abort,
                  std::string* why = nullptr) {
  const auto say = [why](std::string text) {
    if (why != nullptr) *why = std::move(text);
  };
  if (url.empty()) {
    say("the address is empty");
    return {};
  }
  rg_WangLaoFangWenLei client;
  // Result pages are fetched as they always were: any certificate will do.
  client.SetTls({false, {}});
  rg_TransferLimits limits;
  limits.maxBytes = kMaxPageBytes;
  client.SetLimits(limits);
  client.SetProtocols(kHttpOrHttps);
  client.SetAbortFlag(abort);
  const rg_WangYeFangWenXiangYingLei response = client.Access(url);
  if (response.status != 200) {
    say(response.status == 0 ? (response.error.empty() ? "the transfer failed" : response.error)
                             : "the server answered HTTP " + std::to_string(response.status));
    return {};
  }
  std::string text = ConvertToUtf8(response.body, charset);
  if (text.empty())
    say(response.body.empty() ? "the page is empty"
                              : "the page is no " + std::string(charset) + " text");
  return text;
}

std::optional<std::string_view> AsData(const std::string& body) {
  if (body.empty()) return std::nullopt;  // an empty page is no data
  return std::string_view(body);
}

}  // namespace

rg_DrawSources rg_DrawSources::FromSettings(const rg_Settings& settings) {
  rg_DrawSources s;
  s.resultsHome = settings.Read(u"net", u"results_home", s.resultsHome);
  s.kl8History = settings.Read(u"net", u"kl8_history", s.kl8History);
  s.probeHost = settings.Read(u"net", u"probe_host", s.probeHost);
  return s;
}

const rg_Lottery* FindLottery(LotteryCode code) {
  for (const rg_Lottery& lottery : kLotteries) {
    if (lottery.code == code) return &lottery;
  }
  return nullptr;
}

bool probeNetwork(const std::u16string& host, const std::atomic<bool>* abort) {
  // One echo request with a bounded wait; no shell, so the host name is
  // only ever an argument.
  const std::string name = ToUtf8(host);
  if (name.empty() || name[0] == '-') return false;
  return RunAndWait(PingCommand(name, kPingWaitSeconds), (kPingWaitSeconds + 2) * 1000, abort) == 0;
}

std::string fetchResultsHome(const rg_DrawSources& sources, const std::atomic<bool>* abort) {
  return Fetch(sources.resultsHome, "GB18030", abort);
}

std::string fetchKl8History(const rg_DrawSources& sources, const std::atomic<bool>* abort) {
  return Fetch(sources.kl8History, "GB2312", abort);
}

rg_DrawRecord parseDrawTableRow(int section, int row, std::u16string_view name,
                                std::u16string_view ballClass, const std::string* body,
                                const std::atomic<bool>* abort) {
  rg_DrawRecord r;
  if (body == nullptr) {
    r.status = -200;
    r.error = u"body is null";
    return r;
  }
  rg_GaoJiWangYeJieXiQi document;
  document.SetAbortFlag(abort);
  if (!document.Parse(AsData(*body))) {
    r.status = -100;
    r.error = u"body error";
    return r;
  }
  rg_WangYeYuanSuLei cells;
  document.Find(".kjtable > tbody:nth-child(" + std::to_string(section) + ") > tr:nth-child(" +
                    std::to_string(row) + ") > td",
                cells);
  r.name = name;
  if (cells.Count() < kRowCells) {
    // A short row would lend its first cell to every missing one.
    r.status = -80;
    return r;
  }
  rg_WangYeJieDianLei cell;
  if (cells.NodeAt(2, cell)) r.issue = cell.OwnText();
  if (cells.NodeAt(3, cell)) r.date = cell.OwnText();
  if (!cells.NodeAt(4, cell)) {
    r.status = -80;
    return r;
  }
  rg_WangYeYuanSuLei spans;
  cell.Find("span", spans);
  for (size_t i = 0; i < spans.Count(); ++i) {
    rg_WangYeJieDianLei span;
    spans.NodeAt(i, span);
    (span.Attribute("class") == ballClass ? r.numbers : r.extra) += span.OwnText();
  }
  r.error.clear();
  return r;
}

rg_DrawRecord parseKl8Page(const std::string& body, const std::atomic<bool>* abort) {
  rg_DrawRecord r;
  rg_GaoJiWangYeJieXiQi document;
  document.SetAbortFlag(abort);
  if (!document.Parse(AsData(body))) {
    r.status = -200;
    r.error = u"body error";
    return r;
  }
  rg_WangYeYuanSuLei divs;
  if (!document.Find("div", divs) || divs.Null()) {
    r.status = -100;
    r.error = u"root is null";
    return r;
  }
  for (size_t i = 0; i < divs.Count(); ++i) {
    rg_WangYeJieDianLei div;
    divs.NodeAt(i, div);
    // The whole attribute, not one class among several.
    if (div.Attribute("class") != u"more-time-cont") continue;
    rg_WangYeYuanSuLei links;
    rg_WangYeJieDianLei link;
    if (!div.Find("a", links) || !links.NodeAt(0, link)) return r;
    for (size_t k = 0; k < link.ChildCount(); ++k) {
      rg_WangYeJieDianLei child;
      link.ChildAt(k, child);
      const std::u16string kind = child.Attribute("class");
      if (kind == u"kaij-tit") {
        r.name = u"快乐8";
        r.issue = child.OwnText();
        rg_WangYeJieDianLei second;
        if (child.ChildAt(1, second)) r.date = second.OwnText();
      } else if (kind == u"kaij-jg") {
        r.numbers = child.Text();
      }
    }
    return r;
  }
  return r;
}

rg_DrawRecord parseKl8Latest(const rg_DrawSources& sources, const std::atomic<bool>* abort) {
  return parseKl8Page(fetchKl8History(sources, abort), abort);
}

std::u16string ShownNumbers(const rg_Lottery& lottery, const rg_DrawRecord& record) {
  return lottery.showsExtra ? record.numbers + record.extra : record.numbers;
}

rg_DrawCycle RunDrawCycle(LotteryCode lotteryCode, const rg_DrawSources& sources,
                          const std::atomic<bool>* abort) {
  rg_DrawCycle cycle;
  cycle.online = probeNetwork(sources.probeHost, abort);
  const rg_Lottery* lottery = FindLottery(lotteryCode);
  if (!cycle.online || lottery == nullptr) return cycle;
  cycle.parsed = true;
  std::string why;
  if (lottery->code == LotteryCode::Kl8) {
    const std::string body = Fetch(sources.kl8History, "GB2312", abort, &why);
    cycle.fetched = !body.empty();
    cycle.record = parseKl8Page(body);
  } else {
    const std::string body = Fetch(sources.resultsHome, "GB18030", abort, &why);
    cycle.fetched = !body.empty();
    cycle.record = parseDrawTableRow(lottery->section, lottery->row, lottery->name,
                                     lottery->ballClass, &body, abort);
  }
  // A page that never came is not one that failed to parse: the error says
  // which address and why.
  if (!cycle.fetched) {
    cycle.record.error =
        FromUtf8("not fetched (" +
                 std::string(lottery->code == LotteryCode::Kl8 ? "kl8_history" : "results_home") +
                 "): " + why);
  }
  return cycle;
}

}  // namespace rg_com_ptl_xyh
