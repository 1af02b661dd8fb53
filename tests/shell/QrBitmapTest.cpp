#include <QImage>
#include <QProcess>

#include <fstream>

#include "derive/ResultText.h"
#include "engine/Casting.h"
#include "engine/Report.h"
#include "platform/Utf.h"
#include "shell/panels/QrBitmap.h"
#include "support/GuiTest.h"

using namespace test_support;

namespace {
unsigned Read32(const std::vector<unsigned char>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<unsigned>(b[at + 3]) << 24);
}
}  // namespace

TEST(QrBitmap, HeaderAndPixelLayout) {
  const std::string text = "推演五注红球号:\r\n\r\n一注:3,5,12,15,25,28\r\n";
  int width = 0;
  const std::vector<bool> modules = QrModules(text, width);
  ASSERT_GE(width, 37);  // version 5 at least
  const auto bmp = QrBitmap(text);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  ASSERT_EQ(bmp.size(), 54 + stride * static_cast<size_t>(width));
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Read32(bmp, 2), bmp.size());
  EXPECT_EQ(Read32(bmp, 10), 54u);
  EXPECT_EQ(Read32(bmp, 14), 40u);
  EXPECT_EQ(Read32(bmp, 18), static_cast<unsigned>(width));
  EXPECT_EQ(Read32(bmp, 22), static_cast<unsigned>(width));
  EXPECT_EQ(bmp[26] | (bmp[27] << 8), 1);
  EXPECT_EQ(bmp[28] | (bmp[29] << 8), 24);
  EXPECT_EQ(Read32(bmp, 30), 0u);
  EXPECT_EQ(Read32(bmp, 38), 2834u);
  EXPECT_EQ(Read32(bmp, 42), 2834u);
  // Bottom row first: the first stored row is the symbol's last row.
  for (int x = 0; x < width; ++x) {
    const int module = (width - 1) * width + x;
    const bool dark = modules[static_cast<size_t>(module)];
    EXPECT_EQ(bmp[54 + 3 * static_cast<size_t>(x)], dark ? 0 : 255);
  }
  // The finder pattern's corner is dark, top left.
  EXPECT_TRUE(modules[0]);
  EXPECT_TRUE(QrBitmap(std::string(8000, 'x')).empty());
}

TEST(QrBitmap, ARenderedResultDecodesToTheSameText) {
  rg_GuaReport report;
  report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
  rg_QiGuaModel r;
  r.method = CastMethod::Number;
  r.numberText = u"2024060112";
  r.zodiac = 3;
  r.castTime = MakeDate(2024, 6, 1, 12);
  BuildCast(report, r);
  const std::string text = ToUtf8(ResultTextFor(report.Analysis()));
  // zbarimg wants a quiet zone and more than one pixel per module.
  const auto bmp = QrBitmap(text);
  QImage image;
  ASSERT_TRUE(image.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP"));
  QImage framed(image.width() + 8, image.height() + 8, QImage::Format_RGB32);
  framed.fill(Qt::white);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) framed.setPixel(x + 4, y + 4, image.pixel(x, y));
  }
  TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "qr.png").string());
  ASSERT_TRUE(framed.scaled(framed.size() * 4).save(file));
  QProcess zbar;
  zbar.start("zbarimg", {"--quiet", "--raw", "-Sbinary", file});
  ASSERT_TRUE(zbar.waitForFinished(20000));
  QByteArray decoded = zbar.readAllStandardOutput();
  if (decoded.endsWith('\n') && !QByteArray::fromStdString(text).endsWith('\n')) decoded.chop(1);
  EXPECT_EQ(decoded.toStdString(), text);
}
