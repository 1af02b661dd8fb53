#include <cstdlib>
#include <cstring>

#include "platform/Folders.h"
#include "platform/LazyLibrary.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

rg_LazyLibrary::rg_LazyLibrary(const char* soname, const char* overrideVariable)
    : soname_(soname), overrideVariable_(overrideVariable) {}

bool rg_LazyLibrary::Load() {
  std::call_once(once_, [this] {
    std::string name = soname_;
    if (overrideVariable_ != nullptr) {
      const char* other = std::getenv(overrideVariable_);
      if (other != nullptr && *other != '\0' && std::strpbrk(other, "/\\:") == nullptr)
        name = other;
    }
    // By its full path in the program's folder: never the current folder or
    // PATH, where a planted DLL of the same name could be waiting. Its own
    // dependencies come from the same folder first.
    const std::filesystem::path file = ExecutableDirectory() / PathFromUtf8(name);
    HMODULE handle = LoadLibraryExW(
        file.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (handle == nullptr) {
      const DWORD error = GetLastError();
      const std::lock_guard<std::mutex> lock(errorMutex_);
      error_ = "cannot load " + PathToUtf8(file) + " (error " + std::to_string(error) + ")";
      return;
    }
    handle_.store(reinterpret_cast<void*>(handle), std::memory_order_release);
  });
  return Loaded();
}

void* rg_LazyLibrary::Symbol(const char* name) const {
  void* handle = handle_.load(std::memory_order_acquire);
  return handle != nullptr
             ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name))
             : nullptr;
}

std::string rg_LazyLibrary::Error() const {
  const std::lock_guard<std::mutex> lock(errorMutex_);
  return error_;
}

}  // namespace rg_com_ptl_xyh
