// Manifests and settings written to do harm: a fingerprint that is a path,
// values that would add lines to config.ini.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/Settings.h"
#include "support/TempDir.h"
#include "update/UpdateFiles.h"
#include "update/UpdateService.h"

using namespace rg_com_ptl_xyh;
using test_support::TempDir;

namespace {

std::string ManifestWithMd5(const std::string& md5Json) {
  return R"({"name":"星衍推号","ver":2,"verns":"V1.1.0","day":"2026-12-01","url":"6800","md5":)" +
         md5Json + R"(,"body":"b","size":100})";
}

constexpr auto Slurp = &test_support::FileBytes;

}  // namespace

TEST(HostileManifest, OnlyThirtyTwoHexDigitsAreAFingerprintAndOnlyUpperCaseMatches) {
  for (const char* md5 :
       {R"("../../escape")", R"("/some/file\u0000")", R"("0123456789ABCDEF0123456789ABCDE")",
        R"("0123456789ABCDEF0123456789ABCDEF0")", R"("0123456789ABCDEF0123456789ABCDEG")",
        R"("0123456789ABCDEF\r\n[net]\r\nupdate_host=evil")", R"("")", "32",
        R"("0123456789ABCDEF0123456789ABCDE\u0000")"}) {
    EXPECT_FALSE(ParseManifest(ManifestWithMd5(md5)).has_value()) << md5;
  }
  // Either letter case is a fingerprint; the file's own is upper-case and
  // compared exactly, so a lower-case one never matches.
  TempDir dir;
  const auto file = dir.path() / "i.run";
  std::ofstream(file) << "abc";
  EXPECT_EQ(FileMd5(file), u"900150983CD24FB0D6963F7D28E17F72");
  for (const auto& [md5, verified] : std::initializer_list<std::pair<std::string, int>>{
           {"900150983CD24FB0D6963F7D28E17F72", 100},
           {"900150983cd24fb0d6963f7d28e17f72", 0},
           {"900150983cd24fb0D6963F7D28E17F72", 0}}) {
    EXPECT_TRUE(ParseManifest(ManifestWithMd5('"' + md5 + '"')).has_value()) << md5;
    EXPECT_EQ(VerifyInstaller(std::u16string(md5.begin(), md5.end()), file), verified) << md5;
  }
  EXPECT_EQ(VerifyInstaller(u"", dir.path() / "missing"), 0);
}

TEST(HostileManifest, DeepNestingIsRefusedNotThrown) {
  const std::string deep = std::string(5000, '[') + std::string(5000, ']');
  EXPECT_FALSE(ParseManifest(ManifestWithMd5(R"("0123456789ABCDEF0123456789ABCDEF")")
                                 .replace(std::string_view(R"({"name":)").size(), 0,
                                          "1,\"x\":" + deep + ",\"n\":"))
                   .has_value());
  EXPECT_FALSE(ParseManifest(deep).has_value());
}

TEST(HostileManifest, OnePathRuleForEveryInstallerFile) {
  TempDir home;
  for (const char16_t* name : {u"", u".", u"..", u"../x.run", u"a/b", u"a\\b", u"/etc/passwd",
                               u"c:x", u"x\ny", u"x\ry", u"x\x7f"}) {
    EXPECT_FALSE(FileInProgramDir(home.path(), name).has_value());
  }
  EXPECT_FALSE(FileInProgramDir(home.path(), std::u16string(u"x\0y", 3)).has_value());
  EXPECT_EQ(FileInProgramDir(home.path(), u"0123456789ABCDEF0123456789ABCDEF.run"),
            home.path() / "0123456789ABCDEF0123456789ABCDEF.run");
  EXPECT_FALSE(FileInProgramDir({}, u"x.run").has_value());

  // The leftover check goes by the same rule.
  TempDir outside;
  std::ofstream(outside.path() / "victim") << "keep";
  rg_Settings settings(home.path() / "config.ini");
  const std::u16string relative =
      u"../" +
      std::filesystem::relative(outside.path() / "victim", home.path().parent_path()).u16string();
  ASSERT_TRUE(settings.Write(u"sys", u"update_file", relative));
  EXPECT_FALSE(RemoveLeftoverInstaller(settings, home.path()));
  EXPECT_TRUE(std::filesystem::exists(outside.path() / "victim"));
}

TEST(HostileManifest, InstallerSizeBound) {
  EXPECT_EQ(InstallerByteBound(0), kMaxInstallerBytes);
  EXPECT_EQ(InstallerByteBound(-5), kMaxInstallerBytes);
  EXPECT_EQ(InstallerByteBound(1e300), kMaxInstallerBytes);
  const std::int64_t small = InstallerByteBound(3'145'728);
  EXPECT_GE(small, 3'145'728);
  EXPECT_LE(small, 3'145'728 * 105 / 100 + 64 * 1024);
  EXPECT_EQ(InstallerByteBound(static_cast<double>(kMaxInstallerBytes) - 1), kMaxInstallerBytes);
}

TEST(ConfigInjection, LineBreaksAndNulAreRefusedOnWrite) {
  TempDir home;
  rg_Settings settings(home.path() / "config.ini");
  ASSERT_TRUE(settings.Write(u"sys", u"update_day", u"2024年6月1日"));
  const std::string before = Slurp(settings.File());
  const std::u16string nul(u"x\0y", 3);
  for (const std::u16string& value : {std::u16string(u"a\r\n[net]\r\nupdate_host=evil"),
                                      std::u16string(u"a\nb"), std::u16string(u"a\rb"), nul}) {
    EXPECT_FALSE(settings.Write(u"sys", u"update_file", value));
    EXPECT_FALSE(settings.Write(u"sys", value, u"v"));
    EXPECT_FALSE(settings.Write(value, u"k", u"v"));
  }
  for (const char16_t* key : {u"a=b", u" a", u"a ", u";a", u"#a", u"[a]", u""}) {
    EXPECT_FALSE(settings.Write(u"sys", key, u"v"));
  }
  for (const char16_t* section : {u"a]b", u"[a", u" sys"})
    EXPECT_FALSE(settings.Write(section, u"k", u"v"));
  EXPECT_EQ(Slurp(settings.File()), before);
  EXPECT_EQ(settings.Read(u"net", u"update_host"), u"");
}

TEST(ConfigInjection, ValuesReadBackAsWritten) {
  TempDir home;
  rg_Settings settings(home.path() / "config.ini");
  for (const char16_t* value :
       {u" padded ", u"\"quoted\"", u"'single'", u"\"", u"a=b", u"[sys]", u"x;y", u""}) {
    ASSERT_TRUE(settings.Write(u"sys", u"k", value));
    EXPECT_EQ(settings.Read(u"sys", u"k"), value);
  }
  EXPECT_EQ(settings.Read(u"sys", u"update_file"), u"");
}

TEST(ConfigInjection, ALineWithAStrayCarriageReturnOrNulIsNoKey) {
  TempDir home;
  const auto file = home.path() / "config.ini";
  std::ofstream(file, std::ios::binary) << "[sys]\r\nupdate_file=a\rupdate_host=evil\r\nk"
                                        << std::string(1, '\0') << "=v\r\nok=1\r\n";
  rg_Settings settings(file);
  EXPECT_EQ(settings.Read(u"sys", u"update_file"), u"");
  EXPECT_EQ(settings.Read(u"sys", u"k"), u"");
  EXPECT_EQ(settings.Read(u"sys", u"ok"), u"1");
}
