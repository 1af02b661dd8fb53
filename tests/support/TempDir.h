#pragma once
// A temporary folder that is removed with everything in it, and the bytes
// of files, the list of mapped libraries among them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace test_support {

class TempDir {
 public:
  // A name nobody has, made by this call alone (create_directory fails on
  // one that is there), as mkdtemp does, on every system.
  TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
      path_ = base / ("xyh-test-" + std::to_string(random()) + std::to_string(random()));
      std::error_code ec;
      if (std::filesystem::create_directory(path_, ec)) break;
      if (ec) throw std::filesystem::filesystem_error("cannot make a test folder", path_, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Whether this process has mapped a library whose path holds the text.
inline bool Mapped(const std::string& library) {
  return FileBytes("/proc/self/maps").find(library) != std::string::npos;
}

}  // namespace test_support
