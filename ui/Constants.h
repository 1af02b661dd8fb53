#pragma once
// Literal constants kept as Base64 of their UTF-16LE bytes.
#include <QString>

#include "xyh/Version.h"  // kVersionName, kBuildNumber

namespace rg_com_ptl_xyh {

QString ProductName();    // 星衍推号
QString VersionSuffix();  // V1.0.0版
QString HelpFileName();   // help.html

}  // namespace rg_com_ptl_xyh
