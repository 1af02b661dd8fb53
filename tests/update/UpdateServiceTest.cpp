#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/DateTime.h"
#include "platform/Settings.h"
#include "support/TempDir.h"
#include "update/UpdateFiles.h"
#include "update/UpdateService.h"

using namespace rg_com_ptl_xyh;

namespace {
const char* kManifest =
    R"({"name":"星衍推号","ver":2,"verns":"V1.1.0","day":"2026-12-01","url":"6800",)"
    R"("md5":"900150983CD24FB0D6963F7D28E17F72","body":"修正\n改进","size":13107200})";
}

TEST(Manifest, AcceptedOnlyWithEveryRequiredKey) {
  const auto offer = ParseManifest(kManifest);
  ASSERT_TRUE(offer.has_value());
  EXPECT_EQ(offer->name, u"星衍推号");
  EXPECT_EQ(offer->ver, 2);
  EXPECT_EQ(offer->verns, u"V1.1.0");
  EXPECT_EQ(offer->body, u"修正\n改进");
  EXPECT_EQ(offer->size, 13107200.0);
  EXPECT_TRUE(IsNewer(*offer));
  // A program's suffix of the system it runs on: Windows starts only an .exe.
  const std::u16string name = InstallerName(*offer);
  EXPECT_TRUE(name == u"900150983CD24FB0D6963F7D28E17F72.run" ||
              name == u"900150983CD24FB0D6963F7D28E17F72.exe");

  for (const char* key : {"name", "ver", "verns", "day", "url", "md5", "body"}) {
    std::string json = kManifest;
    const size_t at = json.find(std::string("\"") + key + "\"");
    json.replace(at, std::strlen(key) + 2, std::string("\"x") + key + "\"");
    EXPECT_FALSE(ParseManifest(json).has_value()) << key;
  }
  EXPECT_FALSE(ParseManifest("").has_value());
  EXPECT_FALSE(ParseManifest("<html>404</html>").has_value());
  EXPECT_FALSE(ParseManifest("[1,2]").has_value());
  // Presence, not type: a size that is text is simply no size.
  const auto loose = ParseManifest(
      R"({"name":1,"ver":"3","verns":"","day":"","url":"","md5":"0123456789ABCDEF0123456789ABCDEF","body":"","size":"big"})");
  ASSERT_TRUE(loose.has_value());
  EXPECT_EQ(loose->ver, 3);
  EXPECT_EQ(loose->size, 0.0);
  const auto same = ParseManifest(
      R"({"name":"","ver":1,"verns":"","day":"","url":"","md5":"0123456789ABCDEF0123456789ABCDEF","body":""})");
  EXPECT_FALSE(IsNewer(*same));
}

TEST(Manifest, TheAddressIsHexOfUtf16) {
  EXPECT_EQ(DecodeHexUrl(u"6800"), u"h");
  EXPECT_EQ(DecodeHexUrl(u"2F59"), u"夯");
  EXPECT_EQ(DecodeHexUrl(u"2f59"), u"夯");
  EXPECT_EQ(DecodeHexUrl(u""), u"");
  EXPECT_FALSE(DecodeHexUrl(u"680").has_value());
  EXPECT_FALSE(DecodeHexUrl(u"68zz").has_value());
  std::u16string hex;
  for (char c : std::string("https://a.example/x.run")) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "%02X00", static_cast<unsigned char>(c));
    hex += std::u16string(buf, buf + 4);
  }
  EXPECT_EQ(DownloadAddress(hex), u"https://a.example/x.run");
  EXPECT_FALSE(DownloadAddress(u"6800").has_value());  // "h" is no https address
  EXPECT_FALSE(DownloadAddress(u"").has_value());
}

TEST(Sizes, MegabytesAndProgress) {
  EXPECT_EQ(MegabyteText(13107200), u"12.5");
  EXPECT_EQ(MegabyteText(3145728), u"3");
  EXPECT_EQ(MegabyteText(1572864), u"1.5");
  EXPECT_EQ(MegabyteText(1179648), u"1.13");  // 1.125: half up
  EXPECT_EQ(MegabyteText(0), u"0");
  EXPECT_EQ(MegabyteText(0.5), u"0");
  EXPECT_EQ(ProgressPercent(3145728, 1572864), 50);
  EXPECT_EQ(ProgressPercent(100, 29), 29);  // 28.999999999999996 counts as 29
  EXPECT_EQ(ProgressPercent(3, 1), 33);
  EXPECT_EQ(ProgressPercent(100, 100), 100);
  EXPECT_EQ(ProgressPercent(0, 0), -1);
  EXPECT_EQ(ProgressPercent(100, 0), -1);
  EXPECT_EQ(ProgressPercent(99, 100), -1);
}

TEST(UpdateFiles, TheDayRuleAndTheLeftoverInstaller) {
  test_support::TempDir home;
  rg_Settings settings(home.path() / "config.ini");
  const double today = MakeDate(2026, 12, 7, 9, 0);
  EXPECT_TRUE(UpdateCheckDue(settings, today));
  settings.Write(u"sys", u"update_day", u"2026年12月7日");
  EXPECT_FALSE(UpdateCheckDue(settings, today));
  EXPECT_TRUE(UpdateCheckDue(settings, AddDays(today, 1)));

  EXPECT_FALSE(RemoveLeftoverInstaller(settings, home.path()));  // nothing named
  std::ofstream(home.path() / "A.run") << "x";
  settings.Write(u"sys", u"update_file", u"A.run");
  EXPECT_TRUE(RemoveLeftoverInstaller(settings, home.path()));
  EXPECT_FALSE(std::filesystem::exists(home.path() / "A.run"));
  EXPECT_TRUE(IsPlainFileName(u"x.run"));
  for (const char16_t* bad : {u"", u".", u"..", u"../x", u"a/b", u"a\\b", u"C:x", u"/etc/passwd"}) {
    EXPECT_FALSE(IsPlainFileName(bad));
  }
}

TEST(Installer, StartedExecutableOrReportedAndDiscarded) {
  test_support::TempDir dir;
  const auto installer = dir.path() / "i.run";
  const auto marker = dir.path() / "ran";
  std::ofstream(installer) << "#!/bin/sh\necho ok > '" << marker.string() << "'\n";
  // Downloaded files come without the execute bit.
  std::filesystem::permissions(
      installer, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(LaunchInstaller(installer));
  EXPECT_NE(std::filesystem::status(installer).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::none);
  for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(marker));

  const auto bogus = dir.path() / "bogus.run";
  std::ofstream(bogus) << "\x7F"
                          "ELF not really";
  EXPECT_FALSE(LaunchInstaller(bogus));
  EXPECT_FALSE(LaunchInstaller(dir.path() / "missing.run"));

  EXPECT_TRUE(DiscardInstaller(bogus));
  EXPECT_FALSE(std::filesystem::exists(bogus));
  EXPECT_FALSE(DiscardInstaller(bogus));
}

TEST(Installer, NothingFetchedWithoutAServerOrOverPlainHttp) {
  EXPECT_FALSE(FetchOffer(u"", "").has_value());
  test_support::TempDir dir;
  const auto target = dir.path() / "i.run";
  EXPECT_NE(DownloadInstaller(u"http://127.0.0.1:9/i.run", target, 1000, "", nullptr, {}), 200);
  EXPECT_FALSE(std::filesystem::exists(target));
}
