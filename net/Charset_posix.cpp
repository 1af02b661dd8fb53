#include "net/Charset.h"

#include <iconv.h>

#include <cerrno>

namespace rg_com_ptl_xyh {

namespace {
// iconv_open's failure value, (iconv_t)-1 as its manual writes it.
const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
}  // namespace

rg_BianMaZhuaiHuanFangShiLei::rg_BianMaZhuaiHuanFangShiLei(const char* from)
    : cd_(iconv_open("UTF-8", from)) {}

rg_BianMaZhuaiHuanFangShiLei::~rg_BianMaZhuaiHuanFangShiLei() {
  if (cd_ != kInvalid) iconv_close(static_cast<iconv_t>(cd_));
}

std::string rg_BianMaZhuaiHuanFangShiLei::ToUtf8(std::string_view bytes) {
  if (cd_ == kInvalid) return {};
  auto* cd = static_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start for every text
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  size_t written = 0;
  while (true) {
    char* o = out.data() + written;
    size_t outLeft = out.size() - written;
    const size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    written = out.size() - outLeft;
    if (rc != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) return {};  // an invalid or incomplete sequence
    out.resize(out.size() + std::max<size_t>(1024, out.size() / 2));
  }
  // Flush any shift state.
  char* o = out.data() + written;
  size_t outLeft = out.size() - written;
  if (iconv(cd, nullptr, nullptr, &o, &outLeft) == static_cast<size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

std::string ConvertToUtf8(std::string_view bytes, const char* from) {
  return rg_BianMaZhuaiHuanFangShiLei(from).ToUtf8(bytes);
}

}  // namespace rg_com_ptl_xyh
