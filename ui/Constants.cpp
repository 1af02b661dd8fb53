#include "ui/Constants.h"

#include "platform/Base64.h"

namespace rg_com_ptl_xyh {

QString ProductName() { return QString::fromStdU16String(DecodeUtf16Base64("H2ZNiKhj91M=")); }
QString VersionSuffix() {
  return QString::fromStdU16String(DecodeUtf16Base64("VgAxAC4AMAAuADAASHI="));
}
QString HelpFileName() {
  // No help viewer for compiled help here: the same help as a web page.
  return QString::fromStdU16String(DecodeUtf16Base64("aABlAGwAcAAuAGgAdABtAGwA"));
}

}  // namespace rg_com_ptl_xyh
