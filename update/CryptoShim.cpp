// The installer's fingerprint is the only use of libcrypto, and only after an
// update was offered and downloaded; the digest functions the update service
// calls are defined here and forward to the library, loaded on first use, so
// that start-up does not pay for loading it. Without the library the digest
// cannot be made: EVP_MD_CTX_new gives nullptr and the fingerprint does not
// match.
#include <openssl/evp.h>

#include <atomic>
#include <mutex>

#include "platform/LazyLibrary.h"

namespace rg_com_ptl_xyh {
namespace {

struct CryptoApi {
  EVP_MD_CTX* (*ctxNew)();
  void (*ctxFree)(EVP_MD_CTX*);
  int (*digestInit)(EVP_MD_CTX*, const EVP_MD*, ENGINE*);
  int (*digestUpdate)(EVP_MD_CTX*, const void*, size_t);
  int (*digestFinal)(EVP_MD_CTX*, unsigned char*, unsigned int*);
  const EVP_MD* (*md5)();
};

CryptoApi cryptoApi;
std::atomic<const CryptoApi*> cryptoReady{nullptr};
std::once_flag cryptoOnce;

template <typename F>
bool Bind(const rg_LazyLibrary& library, F& target, const char* name) {
  target = reinterpret_cast<F>(library.Symbol(name));
  return target != nullptr;
}

const CryptoApi* Crypto() {
  std::call_once(cryptoOnce, [] {
    static rg_LazyLibrary library(XYH_CRYPTO_FILE, "XYH_CRYPTO_LIBRARY");
    if (!library.Load()) return;
    CryptoApi& a = cryptoApi;
    if (Bind(library, a.ctxNew, "EVP_MD_CTX_new") && Bind(library, a.ctxFree, "EVP_MD_CTX_free") &&
        Bind(library, a.digestInit, "EVP_DigestInit_ex") &&
        Bind(library, a.digestUpdate, "EVP_DigestUpdate") &&
        Bind(library, a.digestFinal, "EVP_DigestFinal_ex") && Bind(library, a.md5, "EVP_md5")) {
      cryptoReady.store(&a, std::memory_order_release);
    }
  });
  return cryptoReady.load(std::memory_order_acquire);
}

}  // namespace
}  // namespace rg_com_ptl_xyh

using rg_com_ptl_xyh::Crypto;
using rg_com_ptl_xyh::CryptoApi;

EVP_MD_CTX* EVP_MD_CTX_new(void) {
  const CryptoApi* a = Crypto();
  return a != nullptr ? a->ctxNew() : nullptr;
}

void EVP_MD_CTX_free(EVP_MD_CTX* ctx) {
  if (const CryptoApi* a = Crypto(); a != nullptr && ctx != nullptr) a->ctxFree(ctx);
}

const EVP_MD* EVP_md5(void) {
  const CryptoApi* a = Crypto();
  return a != nullptr ? a->md5() : nullptr;
}

int EVP_DigestInit_ex(EVP_MD_CTX* ctx, const EVP_MD* type, ENGINE* impl) {
  const CryptoApi* a = Crypto();
  return a != nullptr && ctx != nullptr ? a->digestInit(ctx, type, impl) : 0;
}

int EVP_DigestUpdate(EVP_MD_CTX* ctx, const void* data, size_t count) {
  const CryptoApi* a = Crypto();
  return a != nullptr && ctx != nullptr ? a->digestUpdate(ctx, data, count) : 0;
}

int EVP_DigestFinal_ex(EVP_MD_CTX* ctx, unsigned char* digest, unsigned int* size) {
  const CryptoApi* a = Crypto();
  return a != nullptr && ctx != nullptr ? a->digestFinal(ctx, digest, size) : 0;
}
