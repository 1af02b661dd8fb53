#include "history/SqlStatement.h"

#include <sqlite3.h>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

std::u16string Join(const std::vector<std::u16string>& parts, std::u16string_view separator) {
  std::u16string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) out += separator;
    out += parts[i];
  }
  return out;
}

}  // namespace

std::u16string rg_SqlColumn::Definition() const {
  std::u16string out = name + u" " + type;
  if (!defaultValue.empty()) out += u" DEFAULT " + defaultValue;
  return out;
}

std::u16string BuildCreateTable(std::u16string_view table,
                                const std::vector<std::u16string>& definitions,
                                const std::vector<std::u16string>& unique) {
  std::u16string out = u"CREATE TABLE ";
  out += table;
  out += u" (" + Join(definitions, u",");
  if (!unique.empty()) out += u",UNIQUE (" + Join(unique, u",") + u")";
  out += u");";
  return out;
}

std::u16string BuildSelect(std::u16string_view kind, const std::vector<std::u16string>& columns,
                           std::u16string_view table, std::u16string_view where,
                           std::u16string_view order) {
  if (!EqualsIgnoringAsciiCase(kind, u"select")) return {};
  std::u16string out = u"SELECT ";
  out += columns.empty() ? std::u16string(u"* From ") : Join(columns, u",") + u" From ";
  out += table;
  if (!where.empty()) {
    out += u" WHERE ";
    out += where;
  }
  if (!order.empty()) {
    out += u" ORDER BY ";
    out += order;
  }
  out += u";";
  return out;
}

bool ExecuteSql(sqlite3* db, std::u16string_view text) {
  if (db == nullptr) return false;
  char* error = nullptr;
  const int rc = sqlite3_exec(db, ToUtf8(text).c_str(), nullptr, nullptr, &error);
  sqlite3_free(error);
  return rc == SQLITE_OK;
}

bool rg_SqlStatement::Prepare(sqlite3* db, std::u16string_view text) {
  Finalize();
  prepareCode_ = SQLITE_MISUSE;
  if (db == nullptr) return false;
  prepareCode_ = sqlite3_prepare_v2(db, ToUtf8(text).c_str(), -1, &stmt_, nullptr);
  if (prepareCode_ != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  } else if (stmt_ == nullptr) {
    prepareCode_ = SQLITE_MISUSE;  // an empty statement text
  }
  return stmt_ != nullptr;
}

void rg_SqlStatement::BindInt(int position, long long value) {
  if (stmt_ != nullptr) sqlite3_bind_int64(stmt_, position, value);
}

void rg_SqlStatement::BindDouble(int position, double value) {
  if (stmt_ != nullptr) sqlite3_bind_double(stmt_, position, value);
}

void rg_SqlStatement::BindText(int position, std::u16string_view text) {
  if (stmt_ == nullptr) return;
  const std::string utf8 = ToUtf8(text);
  sqlite3_bind_text(stmt_, position, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

int rg_SqlStatement::Step() { return stmt_ != nullptr ? sqlite3_step(stmt_) : SQLITE_MISUSE; }

long long rg_SqlStatement::ColumnInt(int index) const {
  return stmt_ != nullptr ? sqlite3_column_int64(stmt_, index) : 0;
}

double rg_SqlStatement::ColumnDouble(int index) const {
  return stmt_ != nullptr ? sqlite3_column_double(stmt_, index) : 0.0;
}

std::u16string rg_SqlStatement::ColumnText(int index) const {
  if (stmt_ == nullptr) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
  if (text == nullptr) return {};
  return FromUtf8(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, index))));
}

std::u16string_view rg_SqlStatement::ColumnText(int index, std::u16string& scratch) const {
  if (stmt_ == nullptr) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
  if (text == nullptr) return {};
  return FromUtf8(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, index))),
                  scratch);
}

std::string_view rg_SqlStatement::ColumnUtf8(int index) const {
  if (stmt_ == nullptr) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
  if (text == nullptr) return {};
  return std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, index)));
}

void rg_SqlStatement::Finalize() {
  if (stmt_ != nullptr) sqlite3_finalize(stmt_);
  stmt_ = nullptr;
}

}  // namespace rg_com_ptl_xyh
