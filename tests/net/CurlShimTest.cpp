// libcurl opened on first use: every kind of option and query reaches the
// library with its argument intact.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <fstream>
#include <string>

#include "net/CurlShim.h"
#include "support/TestServer.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

size_t Keep(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

struct Easy {
  CURL* handle = curl_easy_init();
  ~Easy() { curl_easy_cleanup(handle); }
};

}  // namespace

TEST(CurlShim, EveryOptionTypeAndQueryIsForwarded) {
  TempDir root;
  std::ofstream(root.path() / "big.bin", std::ios::binary) << std::string(20000, 'x');
  TestServer server(root.path());
  Easy easy;
  ASSERT_NE(easy.handle, nullptr);
  EXPECT_TRUE(CurlLoaded());
  EXPECT_EQ(CurlLoadError(), "");
  CURL* c = easy.handle;
  std::string body;
  const std::string url = server.Url("/files/big.bin");
  // Strings, callback data and callbacks, and longs.
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_URL, url.c_str()), CURLE_OK);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_WRITEDATA, &body), CURLE_OK);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Keep), CURLE_OK);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L), CURLE_OK);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 30L), CURLE_OK);
  ASSERT_EQ(curl_easy_perform(c), CURLE_OK);
  EXPECT_EQ(body.size(), 20000u);
  // Queries of every result type.
  long status = 0;
  double seconds = -1;
  curl_off_t size = 0;
  char* effective = nullptr;
  EXPECT_EQ(curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status), CURLE_OK);
  EXPECT_EQ(curl_easy_getinfo(c, CURLINFO_TOTAL_TIME, &seconds), CURLE_OK);
  EXPECT_EQ(curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &size), CURLE_OK);
  EXPECT_EQ(curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &effective), CURLE_OK);
  EXPECT_EQ(status, 200);
  EXPECT_GE(seconds, 0.0);
  EXPECT_EQ(size, 20000);
  ASSERT_NE(effective, nullptr);
  EXPECT_EQ(std::string(effective), url);

  // A 64-bit size bound: the file is larger, so the transfer fails.
  body.clear();
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{1000}), CURLE_OK);
  EXPECT_EQ(curl_easy_perform(c), CURLE_FILESIZE_EXCEEDED);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{0}), CURLE_OK);
  // A protocol list by name: plain http is then refused.
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https"), CURLE_OK);
  EXPECT_EQ(curl_easy_perform(c), CURLE_UNSUPPORTED_PROTOCOL);
  ASSERT_EQ(curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https"), CURLE_OK);
  EXPECT_EQ(curl_easy_perform(c), CURLE_OK);
  // A blob, and a header list.
  const std::string pem = "not a certificate";
  curl_blob blob{const_cast<char*>(pem.data()), pem.size(), CURL_BLOB_COPY};
  EXPECT_EQ(curl_easy_setopt(c, CURLOPT_CAINFO_BLOB, &blob), CURLE_OK);
  curl_slist* headers = curl_slist_append(nullptr, "X-Test: 1");
  ASSERT_NE(headers, nullptr);
  EXPECT_EQ(curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers), CURLE_OK);
  curl_easy_reset(c);
  curl_slist_free_all(headers);
  // An option of a type nobody knows is refused, not guessed at.
  EXPECT_EQ(curl_easy_setopt(c, static_cast<CURLoption>(90000 + 1), 1L), CURLE_UNKNOWN_OPTION);
  EXPECT_STREQ(curl_easy_strerror(CURLE_OK), "No error");
  ASSERT_NE(curl_version_info(CURLVERSION_NOW), nullptr);
}
