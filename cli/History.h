#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rg_com_ptl_xyh {
class rg_EasyDb;
struct rg_YsModel;
}

namespace xyh_cli {

int RunHistory(const std::vector<std::string>& args);

// Opens the process's store in the program directory that --home (or the
// usual rules) names; false, with a message on standard error, when the
// history cannot be opened.
bool OpenStore(const std::optional<std::string>& home);
std::filesystem::path HomeFor(const std::optional<std::string>& home);

}  // namespace xyh_cli
