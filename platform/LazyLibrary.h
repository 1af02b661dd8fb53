#pragma once
// A shared library opened through the dynamic loader the first time it is
// needed instead of at program start, so that a program that never uses it
// does not pay for loading it and everything it depends on.
#include <atomic>
#include <mutex>
#include <string>

namespace rg_com_ptl_xyh {

class rg_LazyLibrary {
 public:
  // soname: the file name the loader looks for. overrideVariable: an
  // environment variable that may name another file instead (a bare file
  // name, searched for the same way; anything with a '/' is ignored). Tests
  // use it to stand for a missing library.
  rg_LazyLibrary(const char* soname, const char* overrideVariable);
  rg_LazyLibrary(const rg_LazyLibrary&) = delete;
  rg_LazyLibrary& operator=(const rg_LazyLibrary&) = delete;

  // Loads the library on the first call, from any thread; later calls give
  // the first one's answer. A library that cannot be loaded stays unloaded
  // for the rest of the run.
  bool Load();
  // True once Load has succeeded; never loads.
  bool Loaded() const { return handle_.load(std::memory_order_acquire) != nullptr; }
  // The address of a symbol of the loaded library; nullptr when the library
  // is not loaded or lacks it.
  void* Symbol(const char* name) const;
  // Why Load failed; empty while nothing failed.
  std::string Error() const;

 private:
  const char* soname_;
  const char* overrideVariable_;
  std::once_flag once_;
  std::atomic<void*> handle_{nullptr};
  mutable std::mutex errorMutex_;
  std::string error_;
};

}  // namespace rg_com_ptl_xyh
