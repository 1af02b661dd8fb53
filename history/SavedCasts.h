#pragma once
// Every saved cast at once, read only: for checking them all against the
// draw archive without one query per row.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "history/YsModel.h"
#include "platform/Result.h"

namespace rg_com_ptl_xyh {

class rg_EasyDb;

// Newest first by cast time, then by id. A failing read is an error, never
// the end of the rows: what was read before it is returned and the store's
// LastStatus says what went wrong.
std::vector<rg_YsModel> LoadAllCasts(rg_EasyDb& store);

// Id and cast time of every saved cast, in no particular order: enough to
// see which casts are new without reading them all.
// The store's LastStatus tells whether the list is whole.
std::vector<std::pair<std::int64_t, double>> ListCastTimes(rg_EasyDb& store);

// The newest saved row of the same cast as record (method, number, time,
// sign, trigrams, moving lines, time choice; name and note aside), nullopt
// when there is none, or a failure with the store's status when it cannot
// be read.
Result<std::optional<std::int64_t>> FindSavedCast(rg_EasyDb& store, const rg_YsModel& record);

}  // namespace rg_com_ptl_xyh
