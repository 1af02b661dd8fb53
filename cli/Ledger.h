#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {
// xyh-cli ledger: what the plays cost and won, by draw, month or year (账本).
int RunLedger(const std::vector<std::string>& args);
// The checks of ledger --by and --from/--to (see Term::check).
void CheckLedgerBy(const std::string& by, std::string_view option);
void CheckLedgerDate(const std::string& date, std::string_view option);
}  // namespace xyh_cli
