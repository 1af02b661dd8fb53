#include "update/UpdateService.h"

#include <json/json.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "net/HttpClient.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "platform/Settings.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

std::u16string Text(const Json::Value& v) {
  if (v.isString()) return FromUtf8(v.asString());
  if (v.isNull()) return {};
  Json::StreamWriterBuilder b;
  b["indentation"] = "";
  return FromUtf8(Json::writeString(b, v));
}

// An installer download that receives nothing for this long is given up.
constexpr long kStallMs = 60'000;

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// "%.15G" of a value.
std::u16string Formatted(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  return FromUtf8(buf);
}

}  // namespace

std::u16string UpdateHost(const rg_Settings& settings) {
  return settings.Read(u"net", u"update_host");
}

std::u16string ManifestUrl(std::u16string_view host) {
  return u"https://" + std::u16string(host) + u"/update/" + std::u16string(kProductKey) +
         u"/index.json";
}

std::string UpdateCaFile(const rg_Settings& settings) {
  return ToUtf8(settings.Read(u"net", u"ca_bundle"));
}

std::optional<rg_UpdateOffer> ParseManifest(std::string_view json) {
  Json::Value root;
  Json::CharReaderBuilder builder;
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  try {
    // jsoncpp throws, rather than failing, on nesting past its stack limit.
    if (json.empty() || !reader->parse(json.data(), json.data() + json.size(), &root, &errors) ||
        !root.isObject()) {
      return std::nullopt;
    }
  } catch (const std::exception&) {
    return std::nullopt;
  }
  for (const char* key : {"name", "ver", "verns", "day", "url", "md5", "body"}) {
    if (!root.isMember(key)) return std::nullopt;
  }
  rg_UpdateOffer offer;
  offer.name = Text(root["name"]);
  const Json::Value& ver = root["ver"];
  if (ver.isNumeric()) {
    offer.ver = ver.isInt() ? ver.asInt()
                            : static_cast<int>(std::trunc(std::clamp(ver.asDouble(), -1e9, 1e9)));
  } else if (ver.isString()) {
    // Presence, not type, is checked: a number written as text still counts.
    try {
      offer.ver = std::stoi(ver.asString());
    } catch (...) {
      offer.ver = 0;
    }
  }
  offer.verns = Text(root["verns"]);
  offer.day = Text(root["day"]);
  offer.url = Text(root["url"]);
  offer.md5 = Text(root["md5"]);
  if (!IsMd5Text(offer.md5)) return std::nullopt;
  offer.body = Text(root["body"]);
  if (root.isMember("size") && root["size"].isNumeric()) offer.size = root["size"].asDouble();
  return offer;
}

bool IsNewer(const rg_UpdateOffer& offer) { return offer.ver > kOwnBuild; }

std::optional<rg_UpdateOffer> FetchOffer(std::u16string_view host, const std::string& caFile,
                                         const std::atomic<bool>* abort) {
  if (host.empty()) return std::nullopt;
  rg_WangLaoFangWenLei client;
  client.SetTls({true, caFile});
  rg_TransferLimits limits;
  limits.maxBytes = kMaxManifestBytes;
  client.SetLimits(limits);
  client.SetProtocols(kHttpsOnly);
  client.SetAbortFlag(abort);
  // The body is taken whatever the status; a failed request gives none.
  auto offer = ParseManifest(client.Access(ManifestUrl(host)).body);
  if (!offer || !IsNewer(*offer)) return std::nullopt;
  return offer;
}

long DownloadInstaller(std::u16string_view address, const std::filesystem::path& target,
                       std::int64_t maxBytes, const std::string& caFile,
                       const std::atomic<bool>* abort, const rg_DownloadProgress& progress) {
  rg_WangLaoFangWenLei client;
  client.SetTls({true, caFile});
  rg_TransferLimits limits;
  limits.totalMs = 0;  // a large installer on a slow line may take long, if it keeps coming
  limits.stallMs = kStallMs;
  limits.maxBytes = maxBytes;
  limits.lowSpeedBytes = kInstallerLowSpeedBytes;
  limits.lowSpeedSeconds = kInstallerLowSpeedSeconds;
  client.SetLimits(limits);
  client.SetProtocols(kHttpsOnly);
  client.SetAbortFlag(abort);
  return client.Download(address, target, progress).status;
}

bool IsMd5Text(std::u16string_view text) {
  return text.size() == 32 &&
         std::all_of(text.begin(), text.end(), [](char16_t c) { return HexValue(c) >= 0; });
}

std::int64_t InstallerByteBound(double announcedSize) {
  if (!(announcedSize > 0) || announcedSize >= static_cast<double>(kMaxInstallerBytes))
    return kMaxInstallerBytes;
  const double bound =
      std::ceil(announcedSize * (1 + kInstallerSizeSlack)) + kInstallerSizeSlackBytes;
  return std::min(kMaxInstallerBytes, static_cast<std::int64_t>(bound));
}

std::optional<std::u16string> DecodeHexUrl(std::u16string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]);
    const int lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(hi * 16 + lo));
  }
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return text;
}

std::optional<std::u16string> DownloadAddress(std::u16string_view hex) {
  auto url = DecodeHexUrl(hex);
  if (!url || url->rfind(u"https://", 0) != 0 || url->size() <= 8) return std::nullopt;
  for (char16_t c : *url) {
    if (c <= 0x20 || c == 0x7F) return std::nullopt;  // no spaces or control characters
  }
  return url;
}

std::u16string MegabyteText(double bytes) {
  const double mb = bytes / 1024 / 1024;
  if (std::fabs(mb) <= 0.000001) return u"0";
  const double rounded = std::floor(std::fabs(mb) * 100 + 0.5) / 100;
  return Formatted(mb < 0 ? -rounded : rounded);
}

int ProgressPercent(std::int64_t total, std::int64_t received) {
  if (!(total > 0 && received > 0 && total >= received)) return -1;
  const double q = static_cast<double>(received) / static_cast<double>(total) * 100;
  const double up = std::ceil(q);
  return static_cast<int>(up - q <= 0.000001 ? up : std::floor(q));
}

std::u16string FileMd5(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) return {};
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    EVP_DigestUpdate(ctx.get(), buf, static_cast<size_t>(in.gcount()));
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string out;
  for (unsigned int i = 0; i < length; ++i) {
    out.push_back(static_cast<char16_t>(kHex[digest[i] >> 4]));
    out.push_back(static_cast<char16_t>(kHex[digest[i] & 15]));
  }
  return out;
}

int VerifyInstaller(std::u16string_view expected, const std::filesystem::path& file) {
  const std::u16string actual = FileMd5(file);
  return !actual.empty() && actual == expected ? 100 : 0;
}

bool DiscardInstaller(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::remove(file, ec);
}

}  // namespace rg_com_ptl_xyh
