#pragma once
// The history store: saved casts in one SQLite file, one connection for the
// life of the process.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "history/SqlStatement.h"
#include "history/YsModel.h"

namespace rg_com_ptl_xyh {

struct rg_HistoryEntry {
  std::int32_t id = 0;
  std::u16string name;
};

class rg_EasyDb {
 public:
  enum class OpenResult {
    Created,   // a new file with its table
    Opened,    // an existing file with its table
    Repaired,  // an existing database that lacked the table got it
    Failed,    // not connected: the file is no database or cannot be opened
  };

  rg_EasyDb() = default;
  ~rg_EasyDb() { Close(); }
  rg_EasyDb(const rg_EasyDb&) = delete;
  rg_EasyDb& operator=(const rg_EasyDb&) = delete;

  // The one store of the program and of the command line.
  static rg_EasyDb& Process();

  static std::filesystem::path FileIn(const std::filesystem::path& home);
  static std::u16string CreateTableStatement();
  static std::u16string ListStatement();

  // Opens home/src/data/xyh.db, creating the folders and the file as needed.
  // A file that is not a database is never written to.
  OpenResult Open(const std::filesystem::path& home);
  bool Connected() const { return db_ != nullptr; }
  const std::filesystem::path& Path() const { return path_; }
  // For the tables that sit beside the history in the same file.
  sqlite3* Connection() const { return db_; }

  // A record with _id 0 when there is no such row.
  rg_YsModel Load(std::int32_t id);
  // Inserts records with _id below 1, updates the others.
  bool Save(const rg_YsModel& record);
  // True also when no row matched.
  bool Delete(std::int32_t id);
  // Id and name of every saved cast, newest first.
  std::vector<rg_HistoryEntry> List();
  // The same, handed over row by row without copying: the name is valid
  // only during the call. For filling long lists.
  void VisitList(const std::function<void(std::int32_t id, std::u16string_view name)>& visit);

  void Close();
  // Releases SQLite itself; once, when the program ends.
  static void Shutdown();

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
};

}  // namespace rg_com_ptl_xyh
