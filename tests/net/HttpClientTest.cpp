#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "net/HttpClient.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

rg_NetworkScope network;

constexpr auto Slurp = &test_support::FileBytes;

struct ServerFixture : ::testing::Test {
  TempDir root;
  TestServer server{root.path()};
};

}  // namespace

TEST_F(ServerFixture, RedirectsAreFollowedAndCounted) {
  rg_WangLaoFangWenLei client;
  const auto r = client.Access(server.Url16("/redirect/5"));
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.redirects, 5);
  EXPECT_EQ(r.body, "arrived");
  // The same object serves the next request too.
  EXPECT_EQ(client.Access(server.Url16("/redirect/0")).redirects, 0);
}

TEST_F(ServerFixture, FailuresAreStatusesNotErrors) {
  rg_WangLaoFangWenLei client;
  EXPECT_EQ(client.Access(server.Url16("/status/404")).status, 404);
  EXPECT_EQ(client.Access(server.Url16("/files/missing.html")).status, 404);
  const auto refused = client.Access(u"http://127.0.0.1:9/");
  EXPECT_EQ(refused.status, 0);
  EXPECT_FALSE(refused.error.empty());
  EXPECT_EQ(client.Access(u"not a url").status, 0);
}

TEST_F(ServerFixture, AServerThatStopsSendingIsAbandoned) {
  rg_WangLaoFangWenLei client;
  client.SetLimits({1000, 1500, 0});
  const auto start = std::chrono::steady_clock::now();
  const auto r = client.Access(server.Url16("/stall"));
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.status, 0);  // a 200 status line, then nothing: a failure
  EXPECT_LT(seconds, 5.0);
  EXPECT_GE(seconds, 1.4);
}

TEST_F(ServerFixture, DownloadsReplaceTheFileAndReportProgress) {
  const auto target = root.path() / "installer.run";
  std::ofstream(target) << "left over from an earlier try";
  rg_WangLaoFangWenLei client;
  std::vector<std::pair<std::int64_t, std::int64_t>> reports;
  const auto r = client.Download(
      server.Url16("/slow/200000/20000/5"), target,
      [&](std::int64_t total, std::int64_t received) { reports.emplace_back(total, received); });
  EXPECT_EQ(r.status, 200);
  EXPECT_TRUE(r.body.empty());
  EXPECT_EQ(std::filesystem::file_size(target), 200000u);
  EXPECT_EQ(Slurp(target), std::string(200000, 'x'));
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), std::make_pair(std::int64_t{200000}, std::int64_t{200000}));
  for (size_t i = 1; i < reports.size(); ++i) EXPECT_GE(reports[i].second, reports[i - 1].second);
}

TEST_F(ServerFixture, AStalledDownloadIsAbandonedAndACancelEndsOne) {
  rg_WangLaoFangWenLei client;
  client.SetLimits({1000, 0, 1000});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.Download(server.Url16("/stall"), root.path() / "a", nullptr).status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  rg_WangLaoFangWenLei slow;
  slow.SetLimits({1000, 0, 0});
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    slow.Cancel();
  });
  EXPECT_EQ(slow.Download(server.Url16("/slow/1000000/1000/50"), root.path() / "b", nullptr).status,
            0);
  canceller.join();
  EXPECT_EQ(slow.Download(u"http://127.0.0.1:9/", "/nonexistent/folder/file", nullptr).status, 0);
}

TEST(Tls, ASelfSignedCertificateIsAcceptedForPagesOnly) {
  TestCertificates certs;
  TempDir root;
  std::ofstream(root.path() / "page.html") << "<p>hello</p>";
  TestServer server(root.path(), certs.selfCert.string(), certs.selfKey.string());
  rg_WangLaoFangWenLei pages;
  EXPECT_EQ(pages.Access(server.Url16("/files/page.html")).status, 200);
  EXPECT_EQ(pages.Access(server.Url16("/files/page.html")).body, "<p>hello</p>");
}

TEST(Tls, AVerifyingClientRefusesASelfSignedCertificate) {
  TestCertificates certs;
  TempDir root;
  std::ofstream(root.path() / "page.html") << "<p>hello</p>";
  TestServer server(root.path(), certs.selfCert.string(), certs.selfKey.string());
  rg_WangLaoFangWenLei strict;
  strict.SetTls({true, {}});
  EXPECT_EQ(strict.Access(server.Url16("/files/page.html")).status, 0);
}

TEST(Tls, AServerSignedByATrustedAuthorityIsVerified) {
  TestCertificates certs;
  TempDir root;
  std::ofstream(root.path() / "page.html") << "ok";
  TestServer server(root.path(), certs.serverCert.string(), certs.serverKey.string());
  rg_WangLaoFangWenLei client;
  client.SetTls({true, certs.caCert.string()});
  // By its name: Schannel (Windows' TLS) matches a certificate's names, not
  // the address it was given.
  const std::string named = server.NamedUrl("/files/page.html");
  EXPECT_EQ(client.Access(std::u16string(named.begin(), named.end())).status, 200);
  // The right authority, the wrong name: refused.
  const std::string wrong =
      "https://localhost6.invalid:" + std::to_string(server.Port()) + "/files/page.html";
  EXPECT_EQ(client.Access(std::u16string(wrong.begin(), wrong.end())).status, 0);
}
