#include "net/HttpClient.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

size_t AppendTo(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

size_t WriteFile(char* data, size_t size, size_t count, void* target) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(target)) * size;
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
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, -1L);
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
  if (Handle() == nullptr) return response;
  cancelled_ = false;
  progress_ = nullptr;
  SetUp(ToUtf8(url));
  curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &AppendTo);
  curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &response.headers);
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &AppendTo);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &response.body);
  Finish(response, curl_easy_perform(curl_));
  return response;
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::Download(std::u16string_view url,
                                                             const std::filesystem::path& target,
                                                             Progress progress) {
  rg_WangYeFangWenXiangYingLei response;
  if (Handle() == nullptr) return response;
  // Started afresh each time: a retry after a broken download must not add
  // to what the broken one left.
  std::FILE* file = std::fopen(target.c_str(), "wb");
  if (file == nullptr) {
    response.error = "cannot write " + target.string();
    return response;
  }
  cancelled_ = false;
  progress_ = std::move(progress);
  SetUp(ToUtf8(url));
  curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &AppendTo);
  curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &response.headers);
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &WriteFile);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, file);
  const int code = curl_easy_perform(curl_);
  const bool written = std::fclose(file) == 0;
  Finish(response, written ? code : CURLE_WRITE_ERROR);
  progress_ = nullptr;
  return response;
}

}  // namespace rg_com_ptl_xyh
