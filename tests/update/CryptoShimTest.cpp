// libcrypto is opened for the installer's fingerprint only, on first use.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/TempDir.h"
#include "update/UpdateService.h"

using namespace rg_com_ptl_xyh;
using test_support::Mapped;

TEST(Fingerprint, LibcryptoIsLoadedOnFirstUseAndItsAbsenceIsAMismatch) {
  if (Mapped("libcrypto")) GTEST_SKIP() << "an earlier test in this process loaded libcrypto";
  test_support::TempDir dir;
  const auto file = dir.path() / "i.run";
  std::ofstream(file) << "abc";
  // In a child, before this process has loaded it: a missing library gives
  // no digest, so no installer can pass the check.
  EXPECT_EXIT(
      {
        static char missing[] = "XYH_CRYPTO_LIBRARY=libxyh-no-such-crypto.so.3";
        ::putenv(missing);  // putenv, not setenv: the C runtime of both systems has it
        const bool none = FileMd5(file).empty() &&
                          VerifyInstaller(u"900150983CD24FB0D6963F7D28E17F72", file) == 0;
        std::_Exit(none ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(Mapped("libcrypto"));
  EXPECT_EQ(FileMd5(file), u"900150983CD24FB0D6963F7D28E17F72");
  EXPECT_TRUE(Mapped("libcrypto"));
}
