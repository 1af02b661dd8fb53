#pragma once
// Every saved cast at once, read only: for checking them all against the
// draw archive without one query per row.
#include <cstdint>
#include <utility>
#include <vector>

#include "history/YsModel.h"

namespace rg_com_ptl_xyh {

class rg_EasyDb;

// Newest first by cast time, then by id; empty without a connection.
std::vector<rg_YsModel> LoadAllCasts(const rg_EasyDb& store);

// Id and cast time of every saved cast, in no particular order: enough to
// see which casts are new without reading them all.
std::vector<std::pair<std::int32_t, double>> ListCastTimes(const rg_EasyDb& store);

}  // namespace rg_com_ptl_xyh
