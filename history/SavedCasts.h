#pragma once
// Every saved cast at once, read only: for checking them all against the
// draw archive without one query per row.
#include <vector>

#include "history/YsModel.h"

namespace rg_com_ptl_xyh {

class rg_EasyDb;

// Newest first by cast time, then by id; empty without a connection.
std::vector<rg_YsModel> LoadAllCasts(const rg_EasyDb& store);

}  // namespace rg_com_ptl_xyh
