// Any bytes as a draws CSV file, imported into an archive. A refusal names
// its line; what is taken exports and imports again as the same draws,
// every one of them then already stored.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {

struct Scratch {
  std::filesystem::path dir;
  rg_EasyDb store;
  Scratch() {
    // Memory-backed where there is such a folder: inputs that import write.
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    // A folder of this run's own, as mkdtemp makes, on every system.
    std::random_device random;
    do {
      dir = base / ("xyh-draws-fuzz-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(dir, ec) && !ec);
    if (ec) std::abort();
    if (store.Open(dir) == rg_EasyDb::OpenResult::Failed) std::abort();
    sqlite3_exec(store.Handle(), "PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
  }
  ~Scratch() {
    store.Close();
    std::filesystem::remove_all(dir, ec_);
  }
  std::error_code ec_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  static const double now = MakeDate(2026, 12, 7, 10, 0, 0);
  if (size == 0) return 0;
  const LotteryCode lottery = *LotteryCodeOf(100 + data[0] % 7);
  const std::string_view csv(reinterpret_cast<const char*>(data) + 1, size - 1);
  sqlite3_exec(scratch.store.Handle(), "DROP TABLE IF EXISTS xyh_draws;", nullptr, nullptr,
               nullptr);
  rg_DrawArchive archive(scratch.store);
  const auto result = archive.Import(lottery, csv, now);
  if (!result) {
    if (!result.error().refused || result.error().message.rfind("line ", 0) != 0) std::abort();
    return 0;
  }
  const auto draws = archive.Draws(lottery);
  if (archive.LastStatus() != rg_StoreStatus::Ok ||
      draws.size() != static_cast<std::size_t>(result->added)) {
    std::abort();
  }
  const std::string exported = archive.Export(lottery);
  const auto again = archive.Import(lottery, exported, now);
  if (!again || again->added != 0 || again->skipped != result->added) std::abort();
  if (archive.Export(lottery) != exported) std::abort();
  return 0;
}
