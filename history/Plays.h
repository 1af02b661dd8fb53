#pragma once
// The plays bought with saved casts, in a table of their own beside the
// saved casts (xyh_plays), each linked to its cast's row. The saved casts'
// table itself is never changed from here; deleting a cast deletes its
// plays in the same transaction (rg_EasyDb::Delete).
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "derive/Play.h"
#include "platform/Result.h"

struct sqlite3;

namespace rg_com_ptl_xyh {

class rg_EasyDb;

// Why no play is added to a saved cast that does not read back (its damage
// in brackets): it is never cast again, so its plays could never be checked.
std::string DamagedCastRefusal(std::int64_t castId, const std::string& damage);

// What the window and the command line say of a stored play that does not
// read back (its damage follows in brackets).
inline constexpr std::u16string_view kDamagedPlayText = u"该投注记录已损坏,无法对奖";

struct rg_StoredPlay {
  std::int64_t id = 0;
  std::int64_t castId = 0;
  rg_Play play;  // empty for a damaged row: nothing of it is ever priced
  // Empty for a play this program could have stored; else the column that
  // is wrong and why (a file edited by hand, another program's row, a play
  // whose cast is gone). A damaged play is listed, never scored or priced.
  std::string damage;
};

class rg_PlayStore {
 public:
  explicit rg_PlayStore(rg_EasyDb& store) : store_(&store) {}

  static constexpr std::u16string_view kTable = u"xyh_plays";
  static std::u16string CreateTableStatement();

  // The new play's id. Refused when the play breaks a rule (the message is
  // PlayRefusal's, in UTF-8) or the cast is damaged (DamagedCastRefusal),
  // refused as not found when no saved cast has that id; otherwise a
  // failure carries the store's status (no connection, a damaged or locked
  // file, or the write failed).
  Result<std::int64_t> Add(std::int64_t castId, const rg_Play& play);
  // Refused as not found when no play has that id; otherwise a failure
  // carries the store's status.
  Result<void> Delete(std::int64_t playId);
  // In id order; of one cast, or of all when castId is nullopt. A stored row
  // that is no valid play is listed with its damage.
  std::vector<rg_StoredPlay> List(std::optional<std::int64_t> castId = std::nullopt);
  // How many plays these casts have together, damaged rows included (they
  // go with their cast all the same); a failure carries the store's status.
  Result<std::int64_t> CountFor(std::span<const std::int64_t> castIds);
  // Every cast's sound plays by cast id, each in id order: what may be scored.
  std::map<std::int64_t, std::vector<rg_Play>> ByCast();
  rg_StoreStatus LastStatus() const;

  // Within a transaction the caller holds: the table made if need be, then
  // the play inserted for castId. SQLite's code of the failing step, or
  // SQLITE_DONE.
  static int InsertInTransaction(sqlite3* db, std::int64_t castId, const rg_Play& play);
  // Whether the table exists; nullopt when that cannot be read.
  static std::optional<bool> TableIn(sqlite3* db);
  // Every play read from db by cast id, damaged ones with their damage; a
  // failure when a read failed.
  static Result<std::map<std::int64_t, std::vector<rg_StoredPlay>>> ReadAll(sqlite3* db);

 private:
  rg_EasyDb* store_;
};

}  // namespace rg_com_ptl_xyh
