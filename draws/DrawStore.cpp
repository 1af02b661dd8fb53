#include "draws/DrawStore.h"

namespace rg_com_ptl_xyh {

Result<rg_DrawArchive::StoreResult> ArchiveDraw(rg_DrawArchive& archive, LotteryCode lottery,
                                                const rg_DrawRecord& record, double now) {
  if (record.status != 200) return Refused();
  const auto entry = DrawFromPage(lottery, record.issue, record.date, record.numbers, record.extra);
  if (!entry) return Refused();
  // A page is held to the dates an import is: a draw dated after tomorrow
  // would become the target of every later cast.
  if (!CheckDrawDate(lottery, entry->date, now).empty()) return Refused();
  // And to the schedule and the stored draws: a page that shows a draw
  // under another's issue would score casts against the wrong draw.
  if (const auto placed = archive.CheckPlace(*entry); !placed) return Fail(placed.error());
  return archive.Store(*entry, now);
}

const char* ArchiveOutcomeName(const Result<rg_DrawArchive::StoreResult>& outcome) {
  if (!outcome) return outcome.error().refused ? "invalid" : "failed";
  switch (*outcome) {
    case rg_DrawArchive::StoreResult::Added: return "added";
    case rg_DrawArchive::StoreResult::Unchanged: return "unchanged";
    case rg_DrawArchive::StoreResult::Conflict: return "conflict";
  }
  return "failed";
}

}  // namespace rg_com_ptl_xyh
