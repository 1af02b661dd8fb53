#include "net/CurlShim.h"

// The definitions below are the functions themselves, not calls: the
// type-checking macros of curl.h must stay out of the way.
#define CURL_DISABLE_TYPECHECK 1
#include <curl/curl.h>

#include <atomic>
#include <cstdarg>
#include <mutex>

#include "platform/LazyLibrary.h"

namespace rg_com_ptl_xyh {
namespace {

// The library's own entry points, once loaded.
struct Api {
  CURLcode (*globalInit)(long);
  void (*globalCleanup)();
  CURL* (*easyInit)();
  void (*easyCleanup)(CURL*);
  void (*easyReset)(CURL*);
  CURLcode (*easySetopt)(CURL*, CURLoption, ...);
  CURLcode (*easyPerform)(CURL*);
  CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
  const char* (*easyStrerror)(CURLcode);
  CURLcode (*easyPause)(CURL*, int);
  // Not needed for a transfer; nullptr when the library lacks them.
  curl_slist* (*slistAppend)(curl_slist*, const char*);
  void (*slistFreeAll)(curl_slist*);
  curl_version_info_data* (*versionInfo)(CURLversion);
  char* (*version)();
  void (*free)(void*);
};

rg_LazyLibrary& Library() {
  static rg_LazyLibrary library(kCurlLibrary, kCurlLibraryVariable);
  return library;
}

// Global set-up asked for before the library was loaded: done when it is.
std::mutex globalMutex;
int pendingInits = 0;
long pendingFlags = CURL_GLOBAL_DEFAULT;

Api api;
std::atomic<const Api*> ready{nullptr};
std::once_flag resolveOnce;
// Written only while resolving; read once resolved is set.
std::string missingSymbol;
std::atomic<bool> resolved{false};

template <typename F>
bool Resolve(F& target, const char* name, bool required) {
  target = reinterpret_cast<F>(Library().Symbol(name));
  if (target == nullptr && required && missingSymbol.empty()) missingSymbol = name;
  return target != nullptr || !required;
}

// The loaded interface, or nullptr; loads the library on first call.
const Api* Load() {
  std::call_once(resolveOnce, [] {
    struct Done {
      ~Done() { resolved.store(true, std::memory_order_release); }
    } done;
    if (!Library().Load()) return;
    bool ok = Resolve(api.globalInit, "curl_global_init", true);
    ok = Resolve(api.globalCleanup, "curl_global_cleanup", true) && ok;
    ok = Resolve(api.easyInit, "curl_easy_init", true) && ok;
    ok = Resolve(api.easyCleanup, "curl_easy_cleanup", true) && ok;
    ok = Resolve(api.easyReset, "curl_easy_reset", true) && ok;
    ok = Resolve(api.easySetopt, "curl_easy_setopt", true) && ok;
    ok = Resolve(api.easyPerform, "curl_easy_perform", true) && ok;
    ok = Resolve(api.easyGetinfo, "curl_easy_getinfo", true) && ok;
    ok = Resolve(api.easyStrerror, "curl_easy_strerror", true) && ok;
    ok = Resolve(api.easyPause, "curl_easy_pause", true) && ok;
    Resolve(api.slistAppend, "curl_slist_append", false);
    Resolve(api.slistFreeAll, "curl_slist_free_all", false);
    Resolve(api.versionInfo, "curl_version_info", false);
    Resolve(api.version, "curl_version", false);
    Resolve(api.free, "curl_free", false);
    if (!ok) return;
    const std::lock_guard<std::mutex> lock(globalMutex);
    // libcurl counts its set-ups; each one asked for so far is owed.
    for (; pendingInits > 0; --pendingInits) api.globalInit(pendingFlags);
    ready.store(&api, std::memory_order_release);
  });
  return ready.load(std::memory_order_acquire);
}

// The interface if it is loaded already; never loads.
const Api* Loaded() { return ready.load(std::memory_order_acquire); }

const char* LoadFailure() {
  static const std::string text = [] {
    const std::string why = !missingSymbol.empty()
                                ? std::string(kCurlLibrary) + " lacks " + missingSymbol
                                : Library().Error();
    return "libcurl could not be loaded: " + (why.empty() ? std::string("not tried") : why);
  }();
  return text.c_str();
}

}  // namespace

bool CurlLoaded() { return Loaded() != nullptr; }

std::string CurlLoadError() {
  if (Loaded() != nullptr || !resolved.load(std::memory_order_acquire)) return {};
  return LoadFailure();
}

}  // namespace rg_com_ptl_xyh

using rg_com_ptl_xyh::Api;
using rg_com_ptl_xyh::Load;
using rg_com_ptl_xyh::Loaded;

CURLcode curl_global_init(long flags) {
  const std::lock_guard<std::mutex> lock(rg_com_ptl_xyh::globalMutex);
  if (const Api* a = Loaded()) return a->globalInit(flags);
  ++rg_com_ptl_xyh::pendingInits;
  rg_com_ptl_xyh::pendingFlags = flags;
  return CURLE_OK;
}

void curl_global_cleanup(void) {
  const std::lock_guard<std::mutex> lock(rg_com_ptl_xyh::globalMutex);
  if (const Api* a = Loaded()) {
    a->globalCleanup();
  } else if (rg_com_ptl_xyh::pendingInits > 0) {
    --rg_com_ptl_xyh::pendingInits;
  }
}

CURL* curl_easy_init(void) {
  const Api* a = Load();
  return a != nullptr ? a->easyInit() : nullptr;
}

// A handle can only exist once the library is loaded, so the calls that take
// one never load it; without the library they fail as for a bad handle.
void curl_easy_cleanup(CURL* curl) {
  if (const Api* a = Loaded()) a->easyCleanup(curl);
}

void curl_easy_reset(CURL* curl) {
  if (const Api* a = Loaded()) a->easyReset(curl);
}

// libcurl's own definitions take their variable arguments after an enum
// parameter the same way; the enums are int-sized, so nothing is promoted in
// practice, but clang warns of it.
#if defined(__clang__)
#define XYH_VA_START_AFTER_ENUM(list, last)                                          \
  _Pragma("clang diagnostic push") _Pragma("clang diagnostic ignored \"-Wvarargs\"") \
      va_start(list, last);                                                          \
  _Pragma("clang diagnostic pop")
#else
#define XYH_VA_START_AFTER_ENUM(list, last) va_start(list, last)
#endif

CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
  const Api* a = Loaded();
  if (a == nullptr) return CURLE_FAILED_INIT;
  // The option's number tells the type of its argument.
  va_list args;
  XYH_VA_START_AFTER_ENUM(args, option);
  CURLcode code = CURLE_UNKNOWN_OPTION;
  const int type = option / 10000 * 10000;
  // curl_off_t is long here, but not on every system, so its branch stays.
  if (type == CURLOPTTYPE_LONG) {  // NOLINT(bugprone-branch-clone)
    code = a->easySetopt(curl, option, va_arg(args, long));
  } else if (type == CURLOPTTYPE_OBJECTPOINT || type == CURLOPTTYPE_BLOB) {
    // Objects, strings, lists, callback data and blobs are all pointers.
    code = a->easySetopt(curl, option, va_arg(args, void*));
  } else if (type == CURLOPTTYPE_FUNCTIONPOINT) {
    using AnyFunction = void (*)();
    code = a->easySetopt(curl, option, va_arg(args, AnyFunction));
  } else if (type == CURLOPTTYPE_OFF_T) {
    code = a->easySetopt(curl, option, va_arg(args, curl_off_t));
  }
  va_end(args);
  return code;
}

CURLcode curl_easy_perform(CURL* curl) {
  const Api* a = Loaded();
  return a != nullptr ? a->easyPerform(curl) : CURLE_FAILED_INIT;
}

CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
  const Api* a = Loaded();
  if (a == nullptr) return CURLE_FAILED_INIT;
  // Every query writes through a pointer of the type its number tells.
  va_list args;
  XYH_VA_START_AFTER_ENUM(args, info);
  const CURLcode code = a->easyGetinfo(curl, info, va_arg(args, void*));
  va_end(args);
  return code;
}

const char* curl_easy_strerror(CURLcode code) {
  if (const Api* a = Loaded()) return a->easyStrerror(code);
  return rg_com_ptl_xyh::LoadFailure();
}

CURLcode curl_easy_pause(CURL* curl, int bitmask) {
  const Api* a = Loaded();
  return a != nullptr ? a->easyPause(curl, bitmask) : CURLE_FAILED_INIT;
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
  const Api* a = Load();
  return a != nullptr && a->slistAppend != nullptr ? a->slistAppend(list, text) : nullptr;
}

void curl_slist_free_all(curl_slist* list) {
  const Api* a = Loaded();
  if (a != nullptr && a->slistFreeAll != nullptr) a->slistFreeAll(list);
}

curl_version_info_data* curl_version_info(CURLversion stamp) {
  const Api* a = Load();
  return a != nullptr && a->versionInfo != nullptr ? a->versionInfo(stamp) : nullptr;
}

char* curl_version(void) {
  static char unavailable[] = "libcurl unavailable";
  const Api* a = Load();
  return a != nullptr && a->version != nullptr ? a->version() : unavailable;
}

void curl_free(void* p) {
  const Api* a = Loaded();
  if (a != nullptr && a->free != nullptr) a->free(p);
}
