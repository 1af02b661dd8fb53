#pragma once
// A draw the refresh cycle read, kept in the draw archive.

#include "draws/DrawScraper.h"
#include "history/DrawArchive.h"

namespace rg_com_ptl_xyh {

// Refused (Failure::refused) when the record is no valid draw of that
// lottery (a failed parse, a date after tomorrow or before the lottery
// began, a changed page) or does not fit the stored draws (CheckPlace):
// nothing is stored then, nor into an archive that does not read back.
// Otherwise as Store.
Result<rg_DrawArchive::StoreResult> ArchiveDraw(rg_DrawArchive& archive, LotteryCode lottery,
                                                const rg_DrawRecord& record, double now);

// "added", "unchanged", "conflict"; "invalid" for a refusal and "failed"
// for any other failure.
const char* ArchiveOutcomeName(const Result<rg_DrawArchive::StoreResult>& outcome);

}  // namespace rg_com_ptl_xyh
