#pragma once
#include <string>
#include <vector>

namespace xyh_cli {
// xyh-cli draws list|export|import: the draw archive.
int RunDraws(const std::vector<std::string>& args);
// Says on standard error why the history file failed the draw archive (or
// 对奖), as history list does; exit code 1.
int ArchiveFailure(const char* what);
}
