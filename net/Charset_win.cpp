#include <windows.h>

#include <cstdint>
#include <cstring>

#include "net/Charset.h"

namespace rg_com_ptl_xyh {

namespace {

// The code page Windows converts each name with; 1200 is UTF-16LE, which
// needs no conversion to wide text.
constexpr struct {
  const char* name;
  UINT codePage;
} kCodePages[] = {
    {"GB18030", 54936}, {"GB2312", 936}, {"GBK", 936}, {"UTF-8", CP_UTF8}, {"UTF-16LE", 1200}};

// Windows has had GB18030 since XP; wine (8) has not. There GBK reads the
// pages, which are GBK in practice: a four-byte GB18030 sequence is then
// refused as invalid, never turned into something else.
UINT CodePageOf(const char* from) {
  for (const auto& row : kCodePages) {
    if (_stricmp(row.name, from) != 0) continue;
    if (row.codePage == 54936 && !IsValidCodePage(54936)) return 936;
    return row.codePage;
  }
  return 0;
}

}  // namespace

// The code page rides in the pointer the POSIX build keeps its iconv in.
rg_BianMaZhuaiHuanFangShiLei::rg_BianMaZhuaiHuanFangShiLei(const char* from)
    // NOLINTNEXTLINE(performance-no-int-to-ptr): never dereferenced
    : cd_(reinterpret_cast<void*>(static_cast<std::uintptr_t>(CodePageOf(from)))) {}

rg_BianMaZhuaiHuanFangShiLei::~rg_BianMaZhuaiHuanFangShiLei() = default;

std::string rg_BianMaZhuaiHuanFangShiLei::ToUtf8(std::string_view bytes) {
  const auto codePage = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(cd_));
  if (codePage == 0 || bytes.empty() || bytes.size() > 0x7FFFFFFF) return {};
  std::wstring wide;
  if (codePage == 1200) {
    if (bytes.size() % 2 != 0) return {};  // half a unit at the end
    wide.resize(bytes.size() / 2);
    std::memcpy(wide.data(), bytes.data(), bytes.size());
  } else {
    // Strict: an invalid or cut-short sequence fails the whole text, as
    // iconv does, rather than turning into question marks.
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), wide.data(), n);
  }
  const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                      out.data(), n, nullptr, nullptr);
  return out;
}

std::string ConvertToUtf8(std::string_view bytes, const char* from) {
  return rg_BianMaZhuaiHuanFangShiLei(from).ToUtf8(bytes);
}

}  // namespace rg_com_ptl_xyh
