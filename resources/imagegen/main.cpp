// Draws the program's images: the splash picture, the application icon and
// the three state images of the refresh button. Run it to regenerate the
// files in resources/images (they are committed so a build needs no
// display or fonts of its own):
//   xyh-imagegen resources/images
#include <QConicalGradient>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

namespace {

QString CjkFamily() {
  for (const QString& f : {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                           QStringLiteral("WenQuanYi Micro Hei")}) {
    if (QFontDatabase::families().contains(f)) return f;
  }
  return QFontDatabase::families(QFontDatabase::SimplifiedChinese).value(0);
}

// Six lines of a hexagram, top line first: true is yang (whole).
void DrawHexagram(QPainter& p, QRectF area, const bool (&yang)[6], const QBrush& brush) {
  const double pitch = area.height() / 6.0;
  const double bar = pitch * 0.62;
  for (int i = 0; i < 6; ++i) {
    const double y = area.top() + i * pitch + (pitch - bar) / 2;
    if (yang[i]) {
      p.fillRect(QRectF(area.left(), y, area.width(), bar), brush);
    } else {
      const double part = area.width() * 0.42;
      p.fillRect(QRectF(area.left(), y, part, bar), brush);
      p.fillRect(QRectF(area.right() - part, y, part, bar), brush);
    }
  }
}

QImage Splash() {
  QImage image(488, 288, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 488, 288);
  sky.setColorAt(0.0, QColor(18, 32, 74));
  sky.setColorAt(0.55, QColor(52, 38, 104));
  sky.setColorAt(1.0, QColor(118, 46, 96));
  p.fillRect(image.rect(), sky);

  // A faint ring of stars behind the hexagram.
  QRadialGradient glow(128, 144, 120);
  glow.setColorAt(0.0, QColor(255, 214, 120, 110));
  glow.setColorAt(1.0, QColor(255, 214, 120, 0));
  p.setBrush(glow);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(128, 144), 120, 120);
  for (int i = 0; i < 90; ++i) {
    const double a = i * 2.399963;  // golden angle
    const double r = 24 + std::fmod(i * 37.0, 210.0);
    const QPointF star(128 + r * std::cos(a) * 1.6, 144 + r * std::sin(a) * 0.9);
    p.setBrush(QColor(255, 255, 255, 60 + (i * 53) % 150));
    p.drawEllipse(star, 0.6 + (i % 3) * 0.5, 0.6 + (i % 3) * 0.5);
  }

  const bool lines[6] = {true, false, true, true, false, false};
  QLinearGradient gold(0, 84, 0, 204);
  gold.setColorAt(0, QColor(255, 226, 150));
  gold.setColorAt(1, QColor(226, 160, 62));
  DrawHexagram(p, QRectF(78, 84, 100, 120), lines, gold);

  const QString family = CjkFamily();
  QFont title(family, 40, QFont::Bold);
  p.setFont(title);
  p.setPen(QColor(255, 238, 196));
  p.drawText(QRectF(212, 70, 260, 70), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("星衍推号"));
  QFont sub(family, 13);
  p.setFont(sub);
  p.setPen(QColor(214, 206, 240));
  p.drawText(QRectF(216, 140, 260, 30), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("六爻起卦 · 推演号码"));
  p.drawText(QRectF(216, 170, 260, 30), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("传统文化创新 仅为游戏娱乐"));
  QFont small(family, 9);
  p.setFont(small);
  p.setPen(QColor(180, 170, 210));
  p.drawText(QRectF(216, 236, 260, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("V1.0.0  正在启动…"));
  return image;
}

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  QLinearGradient back(0, 0, s, s);
  back.setColorAt(0, QColor(34, 52, 120));
  back.setColorAt(1, QColor(120, 44, 110));
  QPainterPath rounded;
  rounded.addRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.2, s * 0.2);
  p.fillPath(rounded, back);
  const bool lines[6] = {true, false, true, true, false, false};
  DrawHexagram(p, QRectF(s * 0.22, s * 0.2, s * 0.56, s * 0.6), lines, QColor(255, 214, 120));
  return image;
}

// Two arrows chasing each other round a circle.
QImage Refresh(const QBrush& brush) {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(16, 16);
  const double r = 10;
  QPen pen(brush, 3.2, Qt::SolidLine, Qt::RoundCap);
  p.setPen(pen);
  const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
  for (int k = 0; k < 2; ++k) {
    const double start = 20 + k * 180;  // degrees, counter-clockwise from 3 o'clock
    p.drawArc(box, static_cast<int>(start * 16), static_cast<int>(130 * 16));
    const double end = (start + 130) * M_PI / 180.0;
    const QPointF tip(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
    // The head points along the direction of travel.
    const QPointF along(-std::sin(end), -std::cos(end));
    const QPointF across(std::cos(end), -std::sin(end));
    QPainterPath head;
    head.moveTo(tip + along * 5.5);
    head.lineTo(tip + across * 4.5);
    head.lineTo(tip - across * 4.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(head, brush);
    p.setPen(pen);
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  bool ok = Splash().save(out.filePath(QStringLiteral("splash.jpg")), "JPEG", 92);
  for (int size : {16, 32, 48, 64, 128, 256}) {
    ok &= Icon(size).save(out.filePath(QStringLiteral("icon-%1.png").arg(size)));
  }
  QLinearGradient pink(0, 0, 32, 32);
  pink.setColorAt(0, QColor(255, 105, 180));
  pink.setColorAt(1, QColor(138, 43, 226));
  ok &= Refresh(QColor(30, 110, 230)).save(out.filePath(QStringLiteral("refresh.png")));
  ok &= Refresh(pink).save(out.filePath(QStringLiteral("refresh-hover.png")));
  ok &= Refresh(QColor(160, 160, 160)).save(out.filePath(QStringLiteral("refresh-disabled.png")));
  std::printf("%s\n", ok ? "images written" : "writing failed");
  return ok ? 0 : 1;
}
