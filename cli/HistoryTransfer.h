#pragma once
#include "cli/Args.h"

namespace xyh_cli {

// xyh-cli history export [--format csv|json] [--output FILE] and
// xyh-cli history import FILE; args as read by the history command.
int RunHistoryTransfer(const Args& args);

}  // namespace xyh_cli
