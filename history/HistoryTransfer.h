#pragma once
// Moving saved casts between the history store and a history file.
#include <string>
#include <vector>

#include "history/HistoryFile.h"

namespace rg_com_ptl_xyh {

class rg_EasyDb;

// Every row of the store, oldest first; a failure when the store is not
// open or cannot be read, refused (naming it) when a stored play is damaged.
Result<std::vector<rg_HistoryRow>> ReadHistoryRows(rg_EasyDb& store);

struct rg_ImportOutcome {
  int added = 0;
  // Rows equal in every field but the id to a row stored before.
  int skipped = 0;
  // Plays added, with new casts or to casts saved before that lacked them.
  int playsAdded = 0;
};

// Adds the rows as new rows (new ids), in order, in one transaction: either
// all of them are written or none. A row equal to a stored one in every
// field but the id is skipped, once for each such stored row, so that
// importing the same file again adds nothing and a store's own duplicates
// survive a round trip. A failure's message is the reason in the user's
// words.
Result<rg_ImportOutcome> AddHistoryRows(rg_EasyDb& store, const std::vector<rg_HistoryRow>& rows);

// ReadHistoryFile, then AddHistoryRows.
Result<rg_ImportOutcome> ImportHistory(rg_EasyDb& store, std::string_view bytes);

}  // namespace rg_com_ptl_xyh
