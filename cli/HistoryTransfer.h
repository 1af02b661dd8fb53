#pragma once
#include "cli/Args.h"

namespace xyh_cli {

// xyh-cli history export [--format csv|json] [--output FILE] and
// xyh-cli history import FILE; args as read by the history command.
int RunHistoryTransfer(const Args& args);
// The check of history --format (see Term::check).
void CheckFormat(const std::string& format, std::string_view option);

}  // namespace xyh_cli
