// The version lives in project(VERSION); the window title's suffix is a
// stored constant of its own. Raising one without the other fails here.
#include <gtest/gtest.h>

#include <QString>

#include "ui/Constants.h"
#include "xyh/Version.h"

using namespace rg_com_ptl_xyh;

TEST(Version, StoredSuffixAgreesWithTheGeneratedHeader) {
  EXPECT_EQ(QString::fromLatin1("V") + QString::fromLatin1(kVersion),
            QString::fromLatin1(kVersionName));
  EXPECT_EQ(VersionSuffix(), QString::fromLatin1(kVersionName) + QStringLiteral("版"));
}
