// SQLite is not linked into the programs: the functions of its interface that
// the history calls are defined here and forward to the library, which the
// dynamic loader opens when the history is first opened. The window opens the
// history at start, as before; a command line run that never touches the
// history (a cast without --save) never loads SQLite at all.
//
// Without the library the history cannot be opened: sqlite3_open_v2 fails and
// the store reports it as any other unopenable history. XYH_SQLITE_LIBRARY
// names another file to load (a bare file name, for tests).
#include <sqlite3.h>

#include <cstdarg>

#include "platform/LazyLibrary.h"

namespace rg_com_ptl_xyh {
namespace {

rg_LazyLibrary& Sqlite() {
  static rg_LazyLibrary library(XYH_SQLITE_FILE, "XYH_SQLITE_LIBRARY");
  return library;
}

// The library's own entry point, loading the library first; nullptr when it
// cannot be loaded or lacks the function.
template <typename F>
F Bind(const char* name) {
  return Sqlite().Load() ? reinterpret_cast<F>(Sqlite().Symbol(name)) : nullptr;
}

}  // namespace
}  // namespace rg_com_ptl_xyh

using rg_com_ptl_xyh::Bind;
using rg_com_ptl_xyh::Sqlite;

// The macros paste a return type and parenthesised parameter and argument
// lists as written, which parentheses around them would break.
// NOLINTBEGIN(bugprone-macro-parentheses)
// A call that needs the library: loads it, or gives failure without it.
#define XYH_SQLITE_FORWARD(Ret, name, Params, Args, failure) \
  Ret name Params {                                          \
    static const auto real = Bind<decltype(&name)>(#name);   \
    return real != nullptr ? real Args : failure;            \
  }
// A call that only releases what the library gave: without the library
// loaded there is nothing to release, so it never loads it.
#define XYH_SQLITE_RELEASE(Ret, name, Params, Args, nothing) \
  Ret name Params {                                          \
    if (!Sqlite().Loaded()) return nothing;                  \
    static const auto real = Bind<decltype(&name)>(#name);   \
    return real != nullptr ? real Args : nothing;            \
  }
// NOLINTEND(bugprone-macro-parentheses)

int sqlite3_open_v2(const char* file, sqlite3** db, int flags, const char* vfs) {
  static const auto real = Bind<decltype(&sqlite3_open_v2)>("sqlite3_open_v2");
  if (real != nullptr) return real(file, db, flags, vfs);
  if (db != nullptr) *db = nullptr;
  return SQLITE_CANTOPEN;
}

int sqlite3_open(const char* file, sqlite3** db) {
  static const auto real = Bind<decltype(&sqlite3_open)>("sqlite3_open");
  if (real != nullptr) return real(file, db);
  if (db != nullptr) *db = nullptr;
  return SQLITE_CANTOPEN;
}

int sqlite3_prepare_v2(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** stmt,
                       const char** tail) {
  static const auto real = Bind<decltype(&sqlite3_prepare_v2)>("sqlite3_prepare_v2");
  if (real != nullptr) return real(db, sql, bytes, stmt, tail);
  if (stmt != nullptr) *stmt = nullptr;
  return SQLITE_ERROR;
}

int sqlite3_exec(sqlite3* db, const char* sql, int (*callback)(void*, int, char**, char**),
                 void* data, char** error) {
  static const auto real = Bind<decltype(&sqlite3_exec)>("sqlite3_exec");
  if (real != nullptr) return real(db, sql, callback, data, error);
  if (error != nullptr) *error = nullptr;
  return SQLITE_ERROR;
}

// Only the settings the history makes are passed on; any other is refused
// as the library refuses one it does not know.
int sqlite3_config(int option, ...) {
  static const auto real = Bind<int (*)(int, ...)>("sqlite3_config");
  if (real == nullptr) return SQLITE_ERROR;
  if (option != SQLITE_CONFIG_PAGECACHE) return SQLITE_MISUSE;
  va_list args;
  va_start(args, option);
  void* memory = va_arg(args, void*);
  const int size = va_arg(args, int);
  const int count = va_arg(args, int);
  va_end(args);
  return real(option, memory, size, count);
}

XYH_SQLITE_RELEASE(int, sqlite3_close, (sqlite3 * db), (db), SQLITE_OK)
XYH_SQLITE_RELEASE(int, sqlite3_close_v2, (sqlite3 * db), (db), SQLITE_OK)
XYH_SQLITE_RELEASE(int, sqlite3_finalize, (sqlite3_stmt * s), (s), SQLITE_OK)
XYH_SQLITE_RELEASE(int, sqlite3_shutdown, (void), (), SQLITE_OK)
XYH_SQLITE_RELEASE(void, sqlite3_free, (void* p), (p), void())
XYH_SQLITE_RELEASE(int, sqlite3_backup_finish, (sqlite3_backup * b), (b), SQLITE_OK)

XYH_SQLITE_FORWARD(int, sqlite3_initialize, (void), (), SQLITE_ERROR)
XYH_SQLITE_FORWARD(const char*, sqlite3_libversion, (void), (), "")
XYH_SQLITE_FORWARD(int, sqlite3_libversion_number, (void), (), 0)
XYH_SQLITE_FORWARD(sqlite3_int64, sqlite3_memory_used, (void), (), 0)
XYH_SQLITE_FORWARD(int, sqlite3_busy_timeout, (sqlite3 * db, int ms), (db, ms), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_errcode, (sqlite3 * db), (db), SQLITE_CANTOPEN)
XYH_SQLITE_FORWARD(int, sqlite3_extended_errcode, (sqlite3 * db), (db), SQLITE_CANTOPEN)
XYH_SQLITE_FORWARD(const char*, sqlite3_errmsg, (sqlite3 * db), (db),
                   "the SQLite library could not be loaded")
XYH_SQLITE_FORWARD(const char*, sqlite3_errstr, (int code), (code),
                   "the SQLite library could not be loaded")
XYH_SQLITE_FORWARD(int, sqlite3_changes, (sqlite3 * db), (db), 0)
XYH_SQLITE_FORWARD(int, sqlite3_total_changes, (sqlite3 * db), (db), 0)
XYH_SQLITE_FORWARD(sqlite3_int64, sqlite3_last_insert_rowid, (sqlite3 * db), (db), 0)
XYH_SQLITE_FORWARD(int, sqlite3_get_autocommit, (sqlite3 * db), (db), 1)
XYH_SQLITE_FORWARD(void, sqlite3_interrupt, (sqlite3 * db), (db), void())
XYH_SQLITE_FORWARD(void*, sqlite3_malloc, (int n), (n), nullptr)
XYH_SQLITE_FORWARD(int, sqlite3_reset, (sqlite3_stmt * s), (s), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_clear_bindings, (sqlite3_stmt * s), (s), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_step, (sqlite3_stmt * s), (s), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(const char*, sqlite3_sql, (sqlite3_stmt * s), (s), nullptr)
XYH_SQLITE_FORWARD(sqlite3*, sqlite3_db_handle, (sqlite3_stmt * s), (s), nullptr)
XYH_SQLITE_FORWARD(int, sqlite3_stmt_readonly, (sqlite3_stmt * s), (s), 0)
XYH_SQLITE_FORWARD(int, sqlite3_bind_parameter_count, (sqlite3_stmt * s), (s), 0)
XYH_SQLITE_FORWARD(int, sqlite3_bind_null, (sqlite3_stmt * s, int i), (s, i), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_bind_int, (sqlite3_stmt * s, int i, int v), (s, i, v),
                   SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_bind_int64, (sqlite3_stmt * s, int i, sqlite3_int64 v), (s, i, v),
                   SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_bind_double, (sqlite3_stmt * s, int i, double v), (s, i, v),
                   SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_bind_text,
                   (sqlite3_stmt * s, int i, const char* v, int n, void (*d)(void*)),
                   (s, i, v, n, d), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_bind_blob,
                   (sqlite3_stmt * s, int i, const void* v, int n, void (*d)(void*)),
                   (s, i, v, n, d), SQLITE_MISUSE)
XYH_SQLITE_FORWARD(int, sqlite3_column_count, (sqlite3_stmt * s), (s), 0)
XYH_SQLITE_FORWARD(int, sqlite3_data_count, (sqlite3_stmt * s), (s), 0)
XYH_SQLITE_FORWARD(const char*, sqlite3_column_name, (sqlite3_stmt * s, int c), (s, c), nullptr)
XYH_SQLITE_FORWARD(int, sqlite3_column_type, (sqlite3_stmt * s, int c), (s, c), SQLITE_NULL)
XYH_SQLITE_FORWARD(int, sqlite3_column_int, (sqlite3_stmt * s, int c), (s, c), 0)
XYH_SQLITE_FORWARD(sqlite3_int64, sqlite3_column_int64, (sqlite3_stmt * s, int c), (s, c), 0)
XYH_SQLITE_FORWARD(double, sqlite3_column_double, (sqlite3_stmt * s, int c), (s, c), 0.0)
XYH_SQLITE_FORWARD(const unsigned char*, sqlite3_column_text, (sqlite3_stmt * s, int c), (s, c),
                   nullptr)
XYH_SQLITE_FORWARD(const void*, sqlite3_column_blob, (sqlite3_stmt * s, int c), (s, c), nullptr)
XYH_SQLITE_FORWARD(int, sqlite3_column_bytes, (sqlite3_stmt * s, int c), (s, c), 0)
XYH_SQLITE_FORWARD(sqlite3_backup*, sqlite3_backup_init,
                   (sqlite3 * to, const char* toName, sqlite3* from, const char* fromName),
                   (to, toName, from, fromName), nullptr)
XYH_SQLITE_FORWARD(int, sqlite3_backup_step, (sqlite3_backup * b, int pages), (b, pages),
                   SQLITE_MISUSE)
