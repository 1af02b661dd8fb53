#pragma once
// The saved results page of the test data with the 双色球 row's numbers
// replaced, for a refresh that should read a draw of the test's choosing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_support {

// The spans are ASCII, so the GB18030 bytes can be edited as they are.
inline std::string ResultsPageWith(const std::vector<int>& red, int blue) {
  std::ifstream in(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html", std::ios::binary);
  std::string page((std::istreambuf_iterator<char>(in)), {});
  const std::string old =
      "<span class=\"red\">03</span><span class=\"red\">09</span><span class=\"red\">16</span>"
      "<span class=\"red\">19</span><span class=\"red\">25</span><span class=\"red\">29</span>"
      "<span class=\"blue\">07</span>";
  std::string fresh;
  char buf[64];
  for (int n : red) {
    std::snprintf(buf, sizeof buf, "<span class=\"red\">%02d</span>", n);
    fresh += buf;
  }
  std::snprintf(buf, sizeof buf, "<span class=\"blue\">%02d</span>", blue);
  fresh += buf;
  const auto at = page.find(old);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) page.replace(at, old.size(), fresh);
  return page;
}

}  // namespace test_support
