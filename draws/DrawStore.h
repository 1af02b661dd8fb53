#pragma once
// A draw the refresh cycle read, kept in the draw archive.
#include <optional>

#include "draws/DrawScraper.h"
#include "history/DrawArchive.h"

namespace rg_com_ptl_xyh {

// nullopt when the record is no valid draw of that lottery (a failed parse,
// a date after tomorrow or before the lottery began,
// a changed page): nothing is stored then.
std::optional<rg_DrawArchive::StoreResult> ArchiveDraw(rg_DrawArchive& archive, int lottery,
                                                       const rg_DrawRecord& record, double now);

// "added", "unchanged", "conflict", "failed"; "invalid" for nullopt.
const char* ArchiveOutcomeName(const std::optional<rg_DrawArchive::StoreResult>& outcome);

}  // namespace rg_com_ptl_xyh
