#pragma once
// A second process that holds an exclusive lock on a SQLite file (python3's
// sqlite3 module, BEGIN EXCLUSIVE) until it is released or destroyed.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace test_support {

class LockHolder {
 public:
  explicit LockHolder(const std::filesystem::path& db) : marker_(db.string() + ".locked") {
    std::filesystem::remove(marker_);
    const std::string script =
        "import sqlite3,sys\n"
        "c=sqlite3.connect(sys.argv[1],isolation_level=None)\n"
        "c.execute('BEGIN EXCLUSIVE')\n"
        "open(sys.argv[2],'w').close()\n"
        "sys.stdin.readline()\n"
        "c.execute('COMMIT')\n";
    const std::string command =
        "python3 -c \"" + Escape(script) + "\" '" + db.string() + "' '" + marker_ + "'";
    pipe_ = popen(command.c_str(), "w");
    for (int i = 0; i < 500 && !std::filesystem::exists(marker_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    locked_ = std::filesystem::exists(marker_);
  }
  ~LockHolder() { Release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool Locked() const { return locked_; }
  void Release() {
    if (pipe_ == nullptr) return;
    std::fputs("\n", pipe_);
    pclose(pipe_);
    pipe_ = nullptr;
    std::filesystem::remove(marker_);
  }

 private:
  static std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
      if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
      out += c;
    }
    return out;
  }

  std::string marker_;
  FILE* pipe_ = nullptr;
  bool locked_ = false;
};

}  // namespace test_support
