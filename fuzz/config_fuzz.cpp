// Any bytes as config.ini and a series of writes into it. Every write
// either refuses and leaves the file as it was, or reads back exactly what
// was written; no other key changes what it reads.
//
// Input: the file's first bytes up to the first 0xFF; after that, pieces
// separated by 0xFF taken three at a time as section, key and value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/Settings.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

// Removed at exit with everything in it.
struct ScratchDir {
  std::filesystem::path path;
  ~ScratchDir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

std::filesystem::path File() {
  static ScratchDir scratch;
  static const std::filesystem::path file = [] {
    // Memory-backed where there is such a folder: each input writes the file
    // several times.
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    // A folder of this run's own, as mkdtemp makes, on every system.
    std::random_device random;
    do {
      scratch.path = base / ("xyh-config-fuzz-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(scratch.path, ec) && !ec);
    if (ec) std::abort();
    return scratch.path / "config.ini";
  }();
  return file;
}

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u16string Lower(std::u16string s) {
  for (char16_t& c : s) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out << pieces[0];
  }
  rg_Settings settings(File());
  std::vector<std::pair<std::u16string, std::u16string>> probes = {{u"sys", u"update_file"},
                                                                   {u"sys", u"update_day"},
                                                                   {u"net", u"update_host"},
                                                                   {u"net", u"results_home"}};
  for (size_t i = 1; i + 1 < pieces.size(); i += 3)
    probes.emplace_back(FromUtf8(pieces[i]), FromUtf8(pieces[i + 1]));
  std::vector<std::u16string> before;
  before.reserve(probes.size());
  for (const auto& [section, key] : probes) before.push_back(settings.Read(section, key));

  std::map<std::pair<std::u16string, std::u16string>, std::u16string> written;
  for (size_t i = 1; i + 2 < pieces.size() && i < size_t{3} * 8; i += 3) {
    const std::u16string section = FromUtf8(pieces[i]);
    const std::u16string key = FromUtf8(pieces[i + 1]);
    const std::u16string value = FromUtf8(pieces[i + 2]);
    const std::string old = Slurp(File());
    if (settings.Write(section, key, value)) {
      written[{Lower(section), Lower(key)}] = value;
    } else if (Slurp(File()) != old) {
      __builtin_trap();  // a refused write changed the file
    }
    for (size_t p = 0; p < probes.size(); ++p) {
      const auto it = written.find({Lower(probes[p].first), Lower(probes[p].second)});
      const std::u16string expected = it != written.end() ? it->second : before[p];
      if (settings.Read(probes[p].first, probes[p].second) != expected) __builtin_trap();
    }
  }
  return 0;
}
