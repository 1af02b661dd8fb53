#pragma once
// A history file as another program or a disk fault leaves it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace test_support {

// Runs statements on the file through a connection of its own.
inline void ExecSql(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  // SQLite takes the name as UTF-8 on every system.
  const std::u8string name = file.u8string();
  ASSERT_EQ(sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db, SQLITE_OPEN_READWRITE,
                            nullptr),
            SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

// Takes the page type away from the first leaf under a table's root page
// (the leaf of the table's oldest rows); the rest of the file stays sound.
// The root must have split into an interior page. Returns the bytes left.
inline std::string BreakFirstLeaf(const std::filesystem::path& file, std::size_t rootPage = 2) {
  constexpr std::size_t kPage = 4096;
  std::string bytes = FileBytes(file);
  const auto at = [&](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes.at(i)));
  };
  const std::size_t root = (rootPage - 1) * kPage;
  EXPECT_EQ(at(root), 0x05u);  // an interior page
  const std::size_t cell = root + (at(root + 12) << 8 | at(root + 13));
  const std::size_t leaf =
      ((at(cell) << 24 | at(cell + 1) << 16 | at(cell + 2) << 8 | at(cell + 3)) - 1) * kPage;
  EXPECT_EQ(at(leaf), 0x0Du);  // a leaf of rows
  bytes.at(leaf) = 0x03;
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  return bytes;
}

}  // namespace test_support
