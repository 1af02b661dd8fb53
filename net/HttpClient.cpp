#include "net/HttpClient.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <system_error>

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

// Headers are kept for the caller, up to a bound no real answer comes near.
constexpr size_t kMaxHeaderBytes = size_t{256} * 1024;

size_t AppendTo(char* data, size_t size, size_t count, void* target) {
  auto* headers = static_cast<std::string*>(target);
  if (headers->size() + size * count > kMaxHeaderBytes) return 0;
  headers->append(data, size * count);
  return size * count;
}

// A body sink that refuses to grow past its bound: returning less than it
// was given fails the transfer.
struct BoundedBody {
  std::string* text = nullptr;
  rg_AtomicFile* file = nullptr;
  std::int64_t written = 0;
  std::int64_t limit = 0;  // 0: none
  bool overflowed = false;
};

size_t WriteBounded(char* data, size_t size, size_t count, void* target) {
  auto* sink = static_cast<BoundedBody*>(target);
  const size_t n = size * count;
  if (sink->limit > 0 && sink->written + static_cast<std::int64_t>(n) > sink->limit) {
    sink->overflowed = true;
    return 0;
  }
  if (sink->file != nullptr) {
    if (!sink->file->Write(std::string_view(data, n))) return 0;
  } else {
    sink->text->append(data, n);
  }
  sink->written += static_cast<std::int64_t>(n);
  return n;
}

}  // namespace

rg_NetworkScope::rg_NetworkScope() { curl_global_init(CURL_GLOBAL_ALL); }
rg_NetworkScope::~rg_NetworkScope() { curl_global_cleanup(); }

rg_WangLaoFangWenLei::~rg_WangLaoFangWenLei() {
  if (curl_ != nullptr) {
    curl_easy_pause(curl_, CURLPAUSE_ALL);
    curl_easy_cleanup(curl_);
  }
}

CURL* rg_WangLaoFangWenLei::Handle() {
  if (curl_ == nullptr) curl_ = curl_easy_init();
  return curl_;
}

void rg_WangLaoFangWenLei::SetUp(const std::string& url) {
  CURL* c = Handle();
  curl_easy_reset(c);
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, 0L);
  curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(c, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
  // Fixed for the first request and every redirect: a checked https source
  // never falls back to plain http, nor anything reaches ftp or file.
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, protocols_.c_str());
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, protocols_.c_str());
  // A Content-Length beyond the bound fails before any byte is taken.
  if (limits_.maxBytes > 0) {
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
  }
  if (limits_.lowSpeedBytes > 0 && limits_.lowSpeedSeconds > 0) {
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, limits_.lowSpeedBytes);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, limits_.lowSpeedSeconds);
  }
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectMs);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits_.totalMs);
  lastReceived_ = -1;
  const long verify = tls_.verify ? 1L : 0L;
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, verify);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, tls_.verify ? 2L : 0L);
  curl_easy_setopt(c, CURLOPT_PROXY_SSL_VERIFYPEER, verify);
  curl_easy_setopt(c, CURLOPT_PROXY_SSL_VERIFYHOST, tls_.verify ? 2L : 0L);
  if (tls_.verify && !tls_.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, tls_.caFile.c_str());
  // Every transfer can be cancelled, and reports progress when asked to.
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(
      c, CURLOPT_XFERINFOFUNCTION,
      +[](void* self, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) -> int {
        auto* me = static_cast<rg_WangLaoFangWenLei*>(self);
        if (me->cancelled_ || (me->abort_ != nullptr && me->abort_->load())) return 1;
        // libcurl calls this about once a second even when nothing comes.
        const std::int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count();
        if (received != me->lastReceived_) {
          me->lastReceived_ = received;
          me->lastChangeMs_ = nowMs;
        } else if (me->limits_.stallMs > 0 && nowMs - me->lastChangeMs_ > me->limits_.stallMs) {
          return 1;
        }
        if (me->progress_) me->progress_(total, received);
        return 0;
      });
}

void rg_WangLaoFangWenLei::Finish(rg_WangYeFangWenXiangYingLei& response, int code) {
  long status = 0;
  long redirects = 0;
  double seconds = 0;
  curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(curl_, CURLINFO_REDIRECT_COUNT, &redirects);
  curl_easy_getinfo(curl_, CURLINFO_TOTAL_TIME, &seconds);
  // A transfer cut short is a failure whatever status line arrived first.
  response.status = code == CURLE_OK ? status : 0;
  response.redirects = redirects;
  response.totalSeconds = seconds;
  if (code != CURLE_OK) response.error = curl_easy_strerror(static_cast<CURLcode>(code));
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::Access(std::u16string_view url) {
  rg_WangYeFangWenXiangYingLei response;
  if (Handle() == nullptr) {
    response.error = curl_easy_strerror(CURLE_FAILED_INIT);  // says why libcurl is missing
    return response;
  }
  cancelled_ = false;
  progress_ = nullptr;
  SetUp(ToUtf8(url));
  curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &AppendTo);
  curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &response.headers);
  BoundedBody sink{&response.body, nullptr, 0, limits_.maxBytes, false};
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &WriteBounded);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &sink);
  Finish(response, curl_easy_perform(curl_));
  // Nothing of a refused body is kept for anyone to parse.
  if (sink.overflowed) response.body.clear();
  return response;
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::Download(std::u16string_view url,
                                                            const std::filesystem::path& target,
                                                            Progress progress) {
  rg_WangYeFangWenXiangYingLei response;
  if (Handle() == nullptr) {
    response.error = curl_easy_strerror(CURLE_FAILED_INIT);  // says why libcurl is missing
    return response;
  }
  // Started afresh each time, beside the target and renamed over it only
  // when whole: a retry after a broken download must not add to what the
  // broken one left, and half an installer never takes the name.
  rg_AtomicFile file(target);
  if (!file.Ok()) {
    response.error = "cannot write " + PathToUtf8(target) + ": " + file.Error();
    return response;
  }
  cancelled_ = false;
  progress_ = std::move(progress);
  SetUp(ToUtf8(url));
  curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &AppendTo);
  curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &response.headers);
  BoundedBody sink{nullptr, &file, 0, limits_.maxBytes, false};
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &WriteBounded);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &sink);
  const int code = curl_easy_perform(curl_);
  Finish(response, file.Ok() ? code : CURLE_WRITE_ERROR);
  progress_ = nullptr;
  // Half an installer, or an error page in its place, is no use to anyone:
  // the temporary file goes with `file` unless committed.
  if (response.status == 200 && !file.Commit()) {
    response.status = 0;
    response.error = "cannot write " + PathToUtf8(target) + ": " + file.Error();
  } else if (!file.Ok()) {
    response.error += " (" + file.Error() + ")";
  }
  if (response.status != 200) {
    // An installer from an earlier try is no better: the offer it came
    // with is gone, so nothing is left under the name to be run.
    std::error_code ec;
    std::filesystem::remove(target, ec);
  }
  return response;
}

}  // namespace rg_com_ptl_xyh
