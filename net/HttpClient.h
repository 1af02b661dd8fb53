#pragma once
// rg_WangLaoFangWenLei: the HTTP client; rg_WangYeFangWenXiangYingLei: its response.
// GET requests over libcurl's easy interface: pages and manifests into
// memory, installers into a file with progress reports.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

typedef void CURL;

namespace rg_com_ptl_xyh {

// What a request brought back. A transfer that failed has a status other
// than 200 (0 when no response arrived).
struct rg_WangYeFangWenXiangYingLei {
  long status = 0;
  long redirects = 0;
  double totalSeconds = 0;
  std::string headers;
  std::string body;
  std::string error;  // libcurl's words for a failed transfer
};

// Certificate checking: result pages accept any certificate; the update
// manifest and installer verify the server, optionally against an extra CA
// file.
struct rg_TlsPolicy {
  bool verify = false;
  std::string caFile;
};

// Redirects followed before a transfer fails.
inline constexpr long kMaxRedirects = 20;

// Bounds of a transfer; 0 means none.
struct rg_TransferLimits {
  long connectMs = 10'000;
  long totalMs = 30'000;
  // A transfer that receives nothing for this long is abandoned.
  long stallMs = 0;
  // A body longer than this fails the transfer (in memory, or in the file,
  // which is then removed).
  std::int64_t maxBytes = 0;
  // A transfer slower than lowSpeedBytes per second on average over
  // lowSpeedSeconds is abandoned.
  long lowSpeedBytes = 0;
  long lowSpeedSeconds = 0;
};

// The schemes a transfer may use, for its first request and every
// redirect, in libcurl's spelling: "https", or "http,https".
inline constexpr const char* kHttpsOnly = "https";
inline constexpr const char* kHttpOrHttps = "http,https";

class rg_WangLaoFangWenLei {
 public:
  // total bytes, received bytes; called on the transfer's own thread.
  using Progress = std::function<void(std::int64_t total, std::int64_t received)>;

  rg_WangLaoFangWenLei() = default;
  ~rg_WangLaoFangWenLei();
  rg_WangLaoFangWenLei(const rg_WangLaoFangWenLei&) = delete;
  rg_WangLaoFangWenLei& operator=(const rg_WangLaoFangWenLei&) = delete;

  void SetTls(rg_TlsPolicy tls) { tls_ = std::move(tls); }
  void SetLimits(rg_TransferLimits limits) { limits_ = limits; }
  // Any other scheme, first or after a redirect, fails the transfer.
  void SetProtocols(std::string protocols) { protocols_ = std::move(protocols); }

  rg_WangYeFangWenXiangYingLei Access(std::u16string_view url);
  // Writes the body to target, replacing what was there; a transfer that
  // fails (or answers other than 200) leaves no file behind.
  rg_WangYeFangWenXiangYingLei Download(std::u16string_view url,
                                        const std::filesystem::path& target, Progress progress);
  // Ends a running transfer from another thread; it then fails.
  void Cancel() { cancelled_ = true; }
  // A flag owned by the caller that ends transfers the same way.
  void SetAbortFlag(const std::atomic<bool>* flag) { abort_ = flag; }

 private:
  CURL* Handle();
  void SetUp(const std::string& url);
  void Finish(rg_WangYeFangWenXiangYingLei& response, int code);

  CURL* curl_ = nullptr;
  rg_TlsPolicy tls_;
  rg_TransferLimits limits_;
  std::string protocols_ = kHttpOrHttps;
  std::atomic<bool> cancelled_{false};
  const std::atomic<bool>* abort_ = nullptr;
  Progress progress_;
  // For the stall bound: when the received count last moved.
  std::int64_t lastReceived_ = -1;
  std::int64_t lastChangeMs_ = 0;
};

// libcurl's global set-up: once at program start, released at exit.
class rg_NetworkScope {
 public:
  rg_NetworkScope();
  ~rg_NetworkScope();
  rg_NetworkScope(const rg_NetworkScope&) = delete;
  rg_NetworkScope& operator=(const rg_NetworkScope&) = delete;
};

}  // namespace rg_com_ptl_xyh
