#include "platform/Base64.h"

#include <openssl/evp.h>

#include <vector>

namespace rg_com_ptl_xyh {

std::u16string DecodeUtf16Base64(std::string_view base64) {
  if (base64.empty() || base64.size() % 4 != 0) return {};
  std::vector<unsigned char> bytes(base64.size() / 4 * 3);
  const int n = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(base64.data()),
                                static_cast<int>(base64.size()));
  if (n < 0) return {};
  // EVP_DecodeBlock counts the padding as decoded zero bytes.
  size_t size = static_cast<size_t>(n);
  if (base64.back() == '=') --size;
  if (base64.size() > 1 && base64[base64.size() - 2] == '=') --size;
  if (size % 2 != 0) return {};
  std::u16string out(size / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
