#pragma once
// rg_BianMaZhuaiHuanFangShiLei: the page character-set converter.
// Character-set conversion of fetched pages to UTF-8: over iconv
// (Charset_posix.cpp), on Windows its code pages (Charset_win.cpp).
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

class rg_BianMaZhuaiHuanFangShiLei {
 public:
  // from: "GB18030", "GB2312", "UTF-8", "UTF-16LE".
  explicit rg_BianMaZhuaiHuanFangShiLei(const char* from);
  // Closes the converter on POSIX (iconv); nothing to close on Windows.
  ~rg_BianMaZhuaiHuanFangShiLei();  // NOLINT(performance-trivially-destructible)
  rg_BianMaZhuaiHuanFangShiLei(const rg_BianMaZhuaiHuanFangShiLei&) = delete;
  rg_BianMaZhuaiHuanFangShiLei& operator=(const rg_BianMaZhuaiHuanFangShiLei&) = delete;

  // Empty when the input holds an invalid or incomplete sequence.
  std::string ToUtf8(std::string_view bytes);

 private:
  void* cd_;
};

// One-shot form.
std::string ConvertToUtf8(std::string_view bytes, const char* from);

}  // namespace rg_com_ptl_xyh
