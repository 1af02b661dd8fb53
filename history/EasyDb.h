#pragma once
// The history store: saved casts in one SQLite file, one connection for the
// life of the process.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "history/SqlStatement.h"
#include "history/YsModel.h"
#include "platform/Result.h"

namespace rg_com_ptl_xyh {

struct rg_HistoryEntry {
  std::int64_t id = 0;
  std::u16string name;
};

// The words the window and the command line use for a status; empty for Ok.
std::u16string StoreStatusText(rg_StoreStatus status);

class rg_EasyDb {
 public:
  enum class OpenResult {
    Created,   // a new file with its table
    Opened,    // an existing file with its table
    Repaired,  // an existing database that lacked the table got it
    Damaged,   // opened read-only: it can be listed as far as it reads
    Busy,      // connected, but another program locks it; checked at the next operation
    Failed,    // not connected: the file is no database or cannot be opened
  };
  // How long an operation waits for another program's lock. The window
  // runs operations on its own thread, so this is how long it may freeze.
  static constexpr int kBusyTimeoutMs = 2000;

  rg_EasyDb() = default;
  ~rg_EasyDb() { Close(); }
  rg_EasyDb(const rg_EasyDb&) = delete;
  rg_EasyDb& operator=(const rg_EasyDb&) = delete;

  // The one store of the program and of the command line.
  static rg_EasyDb& Process();

  static std::filesystem::path FileIn(const std::filesystem::path& home);
  static std::u16string CreateTableStatement();
  static std::u16string ListStatement();
  // The columns every reader of whole records selects, in the order
  // RecordFromRow reads them.
  static constexpr std::u16string_view kRecordColumns =
      u"_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo";
  // Ids as one JSON array, to bind for "IN (SELECT value FROM json_each(?))":
  // a set of any size in one statement.
  static std::u16string IdArray(std::span<const std::int64_t> ids);
  // A record from a row selected with kRecordColumns.
  static void RecordFromRow(const rg_SqlStatement& row, rg_YsModel& r, std::u16string& scratch);

  // Opens home/src/data/xyh.db, creating the folders and the file as needed.
  // A file that is not a database, or a damaged one, is never written to.
  OpenResult Open(const std::filesystem::path& home);
  // A connection of its own to a file that a store of this process has
  // opened and checked (its Path()), for work on another thread: a
  // connection serves one thread. Never creates the file and trusts the
  // check already made; a failure carries the status.
  Result<void> OpenChecked(const std::filesystem::path& file);
  bool Connected() const { return db_ != nullptr; }
  // Found damaged (at open or later): reads go on, writes are refused.
  bool Damaged() const { return damaged_; }
  const std::filesystem::path& Path() const { return path_; }
  // The open connection, for operations kept outside the store (null when
  // not connected).
  sqlite3* Handle() const { return db_; }
  // The outcome of the last operation.
  rg_StoreStatus LastStatus() const { return status_; }

  // The record of that row; nullopt when there is none, a failure carrying
  // the status (also kept as LastStatus) when it cannot be read.
  Result<std::optional<rg_YsModel>> Load(std::int64_t id);
  // Only the note of a row, without waiting for another program's lock:
  // for a tooltip. nullopt when it cannot be read now.
  std::optional<std::u16string> Note(std::int64_t id);
  // Inserts records with _id below 1, updates the others. A failure
  // carries the status (also kept as LastStatus).
  Result<void> Save(const rg_YsModel& record);
  // Succeeds also when no row matched.
  Result<void> Delete(std::int64_t id);
  // These casts and their plays in one transaction: all of them, or on a
  // failure none (the status says why). How many casts were still stored;
  // an id already gone is no failure.
  Result<std::int64_t> DeleteMany(std::span<const std::int64_t> ids);
  // Id and name of every saved cast, newest first; as far as the file
  // reads when LastStatus is not Ok.
  std::vector<rg_HistoryEntry> List();
  // The same, handed over row by row without copying: the name is valid
  // only during the call. For filling long lists. Rows visited before an
  // error stay visited.
  rg_StoreStatus VisitList(
      const std::function<void(std::int64_t id, std::u16string_view name)>& visit);

  void Close();
  // Releases SQLite itself; once, when the program ends.
  static void Shutdown();

  // Also for tables kept beside the history in the same file, so that they
  // are refused and reported as the history is.
  // Settles a check left open by a lock at open time; Ok when the
  // operation may go on. Handle() may change (a damaged file is opened
  // again read-only), so it is fetched after this.
  rg_StoreStatus Ready(bool write);
  // Takes SQLite's code of the last step as the operation's status.
  rg_StoreStatus Record(int sqliteCode);

 private:
  enum class Check { Sound, NoTable, Damaged, Busy, NotADatabase, Failed };
  Check CheckFile();
  bool ReopenReadOnly();
  // The last status as the outcome of an operation that failed.
  tl::unexpected<Failure> Failed() const { return Fail(status_); }

  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
  bool checked_ = false;
  bool damaged_ = false;
  rg_StoreStatus status_ = rg_StoreStatus::NotConnected;
};

}  // namespace rg_com_ptl_xyh
