#pragma once
// rg_DrawRecord: one draw as the results page gives it.
// The latest draw of a lottery: a connectivity probe, the results page, and
// the parse of the draw out of its HTML.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Choices.h"

namespace rg_com_ptl_xyh {

class rg_Settings;

struct rg_DrawRecord {
  std::u16string name;
  std::u16string issue;
  std::u16string date;
  std::u16string numbers;
  std::u16string extra;
  std::u16string error;
  std::int32_t status = 200;
};

// Where the pages and the probe go: section "net" of config.ini.
struct rg_DrawSources {
  std::u16string resultsHome = u"https://kaijiang.500.com/";
  std::u16string kl8History = u"https://m.78500.cn/info/kaijiang/moreexpect/kl8/?0_ala_h5baidu";
  std::u16string probeHost = u"www.baidu.com";
  static rg_DrawSources FromSettings(const rg_Settings& settings);
};

// A lottery the strip can show.
struct rg_Lottery {
  LotteryCode code;
  std::u16string_view name;
  int section;  // table section and row on the results home page
  int row;
  std::u16string_view ballClass;
  bool showsExtra;  // the second zone follows the main numbers
  int TypeIndex() const { return NumberOf(code) - NumberOf(LotteryCode::Kl8); }
};
// nullptr only for a number forced into a LotteryCode that names none.
const rg_Lottery* FindLottery(LotteryCode code);

// A results page longer than this is refused unread.
inline constexpr std::int64_t kMaxPageBytes = std::int64_t{8} * 1024 * 1024;

inline constexpr std::u16string_view kDrawUpdatedMessage =
    u"开奖数据已更新，与实时开奖数据存在相差两小时左右的误差,此不会影响推演数据，本软件不参照历史数据.";

// True when one ping of the host answers. The wait is bounded, and abort
// ends it early.
bool probeNetwork(const std::u16string& host, const std::atomic<bool>* abort = nullptr);
// The page as UTF-8, or empty unless the status was 200 and it converted.
std::string fetchResultsHome(const rg_DrawSources& sources,
                             const std::atomic<bool>* abort = nullptr);
std::string fetchKl8History(const rg_DrawSources& sources,
                            const std::atomic<bool>* abort = nullptr);

// body nullptr: no body at all. A row with fewer cells than the layout
// reads (issue, date, numbers) is not the row looked for: status -80. Once
// abort is set the parse stops early with a failure status.
rg_DrawRecord parseDrawTableRow(int section, int row, std::u16string_view name,
                                std::u16string_view ballClass, const std::string* body,
                                const std::atomic<bool>* abort = nullptr);
rg_DrawRecord parseKl8Page(const std::string& body, const std::atomic<bool>* abort = nullptr);
rg_DrawRecord parseKl8Latest(const rg_DrawSources& sources,
                             const std::atomic<bool>* abort = nullptr);

// The numbers the strip shows: numbers, then extra for some lotteries.
std::u16string ShownNumbers(const rg_Lottery& lottery, const rg_DrawRecord& record);

// One refresh cycle's work, without any window: probe, fetch, parse.
struct rg_DrawCycle {
  bool online = false;
  bool parsed = false;   // false offline
  bool fetched = false;  // the page came (status 200, converted); else the transfer failed
  rg_DrawRecord record;
};
rg_DrawCycle RunDrawCycle(LotteryCode lotteryCode, const rg_DrawSources& sources,
                          const std::atomic<bool>* abort = nullptr);

}  // namespace rg_com_ptl_xyh
