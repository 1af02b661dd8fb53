#pragma once
// The update check: the manifest, what it offers, and the work behind the
// update window (the address, the sizes, the download, the fingerprint,
// starting and discarding the installer).
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "xyh/Version.h"

namespace rg_com_ptl_xyh {

class rg_Settings;

inline constexpr std::u16string_view kProductKey = u"xyh";
inline constexpr int kOwnBuild = kBuildNumber;

// A manifest longer than this is refused unread.
inline constexpr std::int64_t kMaxManifestBytes = std::int64_t{64} * 1024;
// No installer is taken beyond this, whatever the manifest announces.
inline constexpr std::int64_t kMaxInstallerBytes = std::int64_t{512} * 1024 * 1024;
// Slack over the announced size, for a size rounded when it was written.
inline constexpr double kInstallerSizeSlack = 0.03;
inline constexpr std::int64_t kInstallerSizeSlackBytes = std::int64_t{64} * 1024;
// An installer download slower than this on average over the given time is
// given up (beside the stall bound of the update window).
inline constexpr long kInstallerLowSpeedBytes = 1024;
inline constexpr long kInstallerLowSpeedSeconds = 60;

// What a manifest offers, as read from it.
struct rg_UpdateOffer {
  std::u16string name;
  int ver = 0;
  std::u16string verns;
  std::u16string day;
  std::u16string url;  // hexadecimal digits of the address's UTF-16LE bytes
  std::u16string md5;
  std::u16string body;
  double size = 0;
};

// Where the manifest lives: https://HOST/update/xyh/index.json; HOST is
// "update_host" of section net, empty when no update server is set.
std::u16string UpdateHost(const rg_Settings& settings);
std::u16string ManifestUrl(std::u16string_view host);
// An extra certificate file to trust ("ca_bundle" of section net).
std::string UpdateCaFile(const rg_Settings& settings);

// A manifest is accepted when it is a JSON object holding every required
// key (presence only, not type) and an "md5" of exactly 32 hex digits
// (either case), the only text that ever becomes a file name; nullopt
// otherwise.
std::optional<rg_UpdateOffer> ParseManifest(std::string_view json);
// Offered when its build is greater than ours.
bool IsNewer(const rg_UpdateOffer& offer);
// Asks the update server at host for its manifest, over https only,
// trusting caFile beside the system's authorities, at most
// kMaxManifestBytes; the offer when the manifest is accepted and newer,
// nullopt otherwise (no host, a failed request, a bad or old manifest).
// Blocks: for a worker thread. *abort ends the request early.
std::optional<rg_UpdateOffer> FetchOffer(std::u16string_view host, const std::string& caFile,
                                         const std::atomic<bool>* abort = nullptr);

bool IsMd5Text(std::u16string_view text);

// The installer's file name in the program directory: md5 and the
// system's suffix for a program (".exe" on Windows, ".run" elsewhere).
std::u16string InstallerName(const rg_UpdateOffer& offer);
// The most bytes the installer download may bring: the announced size with
// a little slack, never more than kMaxInstallerBytes (the whole of it when
// no positive size is announced).
std::int64_t InstallerByteBound(double announcedSize);

// Pairs of hex digits are bytes, the bytes UTF-16LE text; nullopt for an
// odd count or a non-hex digit.
std::optional<std::u16string> DecodeHexUrl(std::u16string_view hex);
// The decoded address when it is an https address, else nullopt.
std::optional<std::u16string> DownloadAddress(std::u16string_view hex);

// Bytes as MB rounded half up to two decimals, written like "%.15G"; "0"
// when the magnitude is at most 0.000001.
std::u16string MegabyteText(double bytes);
// floor(received / total * 100), a quotient just below an integer counting
// as that integer; -1 unless total > 0, received > 0 and total >= received.
int ProgressPercent(std::int64_t total, std::int64_t received);

// total bytes, received bytes; called on the downloading thread.
using rg_DownloadProgress = std::function<void(std::int64_t total, std::int64_t received)>;
// Downloads the installer from address (https only, from a verified server
// that may add caFile to the trusted authorities) into target, at most
// maxBytes, given up when it stalls or crawls. The HTTP status: 200 when
// the whole file came; anything else leaves no file behind. Blocks: for a
// worker thread. *abort ends the transfer early.
long DownloadInstaller(std::u16string_view address, const std::filesystem::path& target,
                       std::int64_t maxBytes, const std::string& caFile,
                       const std::atomic<bool>* abort, const rg_DownloadProgress& progress);

// The MD5 of a file as 32 upper-case hex digits; empty when unreadable.
std::u16string FileMd5(const std::filesystem::path& file);
// 100 when the file's fingerprint equals expected exactly, else 0.
int VerifyInstaller(std::u16string_view expected, const std::filesystem::path& file);
// Makes the installer executable and starts it on its own, not waiting for
// it; false when it could not be started.
bool LaunchInstaller(const std::filesystem::path& file);
// Deletes a downloaded installer that failed its check; true when a file
// was deleted.
bool DiscardInstaller(const std::filesystem::path& file);

}  // namespace rg_com_ptl_xyh
