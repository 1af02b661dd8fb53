#include "platform/LazyLibrary.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace rg_com_ptl_xyh {

rg_LazyLibrary::rg_LazyLibrary(const char* soname, const char* overrideVariable)
    : soname_(soname), overrideVariable_(overrideVariable) {}

bool rg_LazyLibrary::Load() {
  std::call_once(once_, [this] {
    const char* name = soname_;
    if (overrideVariable_ != nullptr) {
      const char* other = std::getenv(overrideVariable_);
      if (other != nullptr && *other != '\0' && std::strchr(other, '/') == nullptr) name = other;
    }
    // Local binding: the library's symbols must not stand in for anyone
    // else's, and ours must not stand in for its.
    void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* why = dlerror();
      const std::lock_guard<std::mutex> lock(errorMutex_);
      error_ = why != nullptr ? why : std::string("cannot load ") + name;
      return;
    }
    handle_.store(handle, std::memory_order_release);
  });
  return Loaded();
}

void* rg_LazyLibrary::Symbol(const char* name) const {
  void* handle = handle_.load(std::memory_order_acquire);
  return handle != nullptr ? dlsym(handle, name) : nullptr;
}

std::string rg_LazyLibrary::Error() const {
  const std::lock_guard<std::mutex> lock(errorMutex_);
  return error_;
}

}  // namespace rg_com_ptl_xyh
