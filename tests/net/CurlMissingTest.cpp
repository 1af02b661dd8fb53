// A process whose libcurl cannot be loaded: every transfer fails the way a
// transfer without a network fails, and nothing crashes.
#include <gtest/gtest.h>

#include <curl/curl.h>
#include <cstdlib>

#include "net/CurlShim.h"
#include "net/HttpClient.h"
#include "support/TestServer.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

TEST(CurlMissing, TransfersFailAndNothingCrashes) {
  // Before anything of libcurl is used in this process.
  ASSERT_FALSE(CurlLoaded());
  ::setenv(kCurlLibraryVariable, "libxyh-no-such-curl.so.4", 1);
  {
    const rg_NetworkScope network;  // takes note only
    EXPECT_FALSE(CurlLoaded());
    EXPECT_EQ(CurlLoadError(), "");
  }
  TempDir root;
  TestServer server(root.path());
  rg_WangLaoFangWenLei client;
  const rg_WangYeFangWenXiangYingLei page = client.Access(server.Url16("/redirect/0"));
  EXPECT_EQ(page.status, 0);
  EXPECT_EQ(page.body, "");
  const auto file = root.path() / "download";
  int reports = 0;
  const auto download = client.Download(server.Url16("/redirect/0"), file,
                                        [&](std::int64_t, std::int64_t) { ++reports; });
  EXPECT_EQ(download.status, 0);
  EXPECT_EQ(reports, 0);
  EXPECT_FALSE(CurlLoaded());
  EXPECT_NE(CurlLoadError().find("libxyh-no-such-curl.so.4"), std::string::npos) << CurlLoadError();

  // The interface itself answers without the library.
  EXPECT_EQ(curl_easy_init(), nullptr);
  EXPECT_EQ(curl_easy_setopt(nullptr, CURLOPT_URL, "http://127.0.0.1/"), CURLE_FAILED_INIT);
  EXPECT_EQ(curl_easy_perform(nullptr), CURLE_FAILED_INIT);
  long status = 7;
  EXPECT_EQ(curl_easy_getinfo(nullptr, CURLINFO_RESPONSE_CODE, &status), CURLE_FAILED_INIT);
  EXPECT_EQ(status, 7);
  EXPECT_NE(std::string(curl_easy_strerror(CURLE_FAILED_INIT)).find("could not be loaded"),
            std::string::npos);
  EXPECT_EQ(curl_slist_append(nullptr, "X: 1"), nullptr);
  EXPECT_EQ(curl_version_info(CURLVERSION_NOW), nullptr);
  curl_easy_cleanup(nullptr);
  curl_global_cleanup();
}
