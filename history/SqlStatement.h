#pragma once
// A thin layer over the SQLite C interface: statement texts built from
// their parts, and one prepared statement that speaks UTF-16 to the program
// and UTF-8 to the database.
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace rg_com_ptl_xyh {

// name, type and default of one column.
struct rg_SqlColumn {
  std::u16string name;
  std::u16string type;
  std::u16string defaultValue;
  // "ysindex INT(4) DEFAULT 0"; no DEFAULT clause for an empty default.
  std::u16string Definition() const;
};

std::u16string BuildCreateTable(std::u16string_view table,
                                const std::vector<std::u16string>& definitions,
                                const std::vector<std::u16string>& unique = {});
// kind must be "select" in any letter case; anything else gives empty text.
std::u16string BuildSelect(std::u16string_view kind, const std::vector<std::u16string>& columns,
                           std::u16string_view table, std::u16string_view where,
                           std::u16string_view order);

// Runs a statement without preparing a wrapper; false on any error.
bool ExecuteSql(sqlite3* db, std::u16string_view text);

// One prepared statement, finalized when the wrapper goes. Without a
// connection, or when preparing fails, it holds nothing and every call on it
// does nothing.
class rg_SqlStatement {
 public:
  rg_SqlStatement() = default;
  rg_SqlStatement(sqlite3* db, std::u16string_view text) { Prepare(db, text); }
  ~rg_SqlStatement() { Finalize(); }
  rg_SqlStatement(const rg_SqlStatement&) = delete;
  rg_SqlStatement& operator=(const rg_SqlStatement&) = delete;

  bool Prepare(sqlite3* db, std::u16string_view text);
  bool Valid() const { return stmt_ != nullptr; }
  // Why preparing failed (SQLITE_BUSY, SQLITE_NOTADB, ...); SQLITE_MISUSE
  // without a connection, SQLITE_OK once prepared.
  int PrepareCode() const { return prepareCode_; }

  // Positions are 1-based.
  void BindInt(int position, long long value);
  void BindDouble(int position, double value);
  void BindText(int position, std::u16string_view text);
  // SQLITE_ROW, SQLITE_DONE or an error code; SQLITE_MISUSE without a statement.
  int Step();
  // Indexes are 0-based.
  long long ColumnInt(int index) const;
  double ColumnDouble(int index) const;
  std::u16string ColumnText(int index) const;
  // The same without allocating; valid until the next call with this scratch.
  std::u16string_view ColumnText(int index, std::u16string& scratch) const;
  // The stored UTF-8 bytes as they are, valid until the next step.
  std::string_view ColumnUtf8(int index) const;
  void Finalize();

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int prepareCode_ = 21;  // SQLITE_MISUSE
};

}  // namespace rg_com_ptl_xyh
