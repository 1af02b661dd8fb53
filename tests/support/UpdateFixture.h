#pragma once
// An update server on 127.0.0.1 with a certificate of the test's own
// authority, and a main window whose configuration trusts that authority.
#include <QTest>

#include <cstdio>
#include <fstream>
#include <memory>

#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "support/GuiTest.h"
#include "support/TestServer.h"
#include "update/UpdateService.h"
#include "update/UpdateWin.h"

namespace test_support {

inline std::u16string HexOf(const std::string& url) {
  std::u16string hex;
  for (char c : url) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "%02x00", static_cast<unsigned char>(c));
    hex += std::u16string(buf, buf + 4);
  }
  return hex;
}

struct UpdateFixture {
  rg_NetworkScope network;
  TestCertificates certs;
  TempDir root;
  std::unique_ptr<TestServer> server;
  WindowFixture f{false};
  Messages messages;

  explicit UpdateFixture(bool trusted = true) {
    std::filesystem::create_directories(root.path() / "update" / "xyh");
    server = std::make_unique<TestServer>(root.path(),
                                          (trusted ? certs.serverCert : certs.selfCert).string(),
                                          (trusted ? certs.serverKey : certs.selfKey).string());
    rg_Settings settings(f.home.path() / "config.ini");
    // By name: Schannel, Windows' TLS, matches a certificate's names only.
    settings.Write(u"net", u"update_host", FromUtf8(server->NamedHost()));
    settings.Write(u"net", u"ca_bundle", FromUtf8(certs.caCert.string()));
  }

  // An installer that leaves a marker file when it runs.
  std::string Installer(const std::filesystem::path& marker) {
    const auto file = root.path() / "installer.run";
    std::ofstream(file) << "#!/bin/sh\necho installed > '" << marker.string() << "'\n";
    return ToUtf8(FileMd5(file));
  }

  void Manifest(int ver, const std::string& md5, const std::u16string& urlHex, bool withBody = true,
                long long size = 3145728) {
    std::ofstream out(root.path() / "update" / "xyh" / "index.json");
    out << "{\"name\":\"星衍推号\",\"ver\":" << ver
        << ",\"verns\":\"V1.1.0\",\"day\":\"2026-12-01\",\"url\":\"" << ToUtf8(urlHex)
        << "\",\"md5\":\"" << md5 << "\",\"size\":" << size
        << (withBody ? ",\"body\":\"修正了若干问题\\n更快\"" : "") << "}";
  }

  std::u16string InstallerUrlHex() { return HexOf(server->NamedUrl("/files/installer.run")); }

  void Check() {
    f.window->CheckForUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(!f.window->UpdateCheckRunning(), 15000);
  }
  int ManifestRequests() {
    rg_WangLaoFangWenLei client;  // asks the server itself, trusting anything
    return std::stoi(client.Access(server->Url16("/count/update/xyh/index.json")).body);
  }
  std::u16string Setting(const char16_t* key) {
    return rg_Settings(f.home.path() / "config.ini").Read(u"sys", key);
  }
};

}  // namespace test_support
