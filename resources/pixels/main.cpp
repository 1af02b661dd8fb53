// Decodes pictures into a header of their pixels, at build time: the window
// shows a few small pictures the moment it starts, and reading them as PNG
// then would load the decoder and inflate them on every start.
//   xyh-pixels OUT.h NAME=FILE...
// NAME is the name the program asks for (its resource path). Each picture is
// decoded by Qt's own PNG reader, as the program would, and stored as that
// reader's pixels, so the program shows exactly what reading the file gives.
#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::string name;
  QImage image;
};

bool Decode(const char* argument, Entry& entry) {
  const std::string text(argument);
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    std::fprintf(stderr, "xyh-pixels: expected NAME=FILE, got %s\n", argument);
    return false;
  }
  entry.name = text.substr(0, equals);
  QImageReader reader(QString::fromStdString(text.substr(equals + 1)), "png");
  reader.setAutoDetectImageFormat(false);
  entry.image = reader.read();
  if (entry.image.isNull()) {
    std::fprintf(stderr, "xyh-pixels: %s: %s\n", text.c_str() + equals + 1,
                 reader.errorString().toLocal8Bit().constData());
    return false;
  }
  // The program builds its image from 32-bit words; a PNG of another depth
  // would need another form here.
  if (entry.image.depth() != 32) {
    std::fprintf(stderr, "xyh-pixels: %s is not decoded to 32-bit pixels\n", argument);
    return false;
  }
  return true;
}

void Write(std::FILE* out, const std::vector<Entry>& entries) {
  std::fputs(
      "// Made by xyh-pixels at build time from the program's pictures.\n"
      "#pragma once\n#include <cstdint>\n\nnamespace rg_com_ptl_xyh::pictures {\n\n"
      "struct Picture {\n  const char* name;\n  int width;\n  int height;\n"
      "  int format;  // a QImage::Format\n  int dotsPerMeterX;\n  int dotsPerMeterY;\n"
      "  const std::uint32_t* pixels;  // rows top first, no padding\n};\n",
      out);
  for (size_t i = 0; i < entries.size(); ++i) {
    const QImage& image = entries[i].image;
    std::fprintf(out, "\ninline constexpr std::uint32_t kPixels%zu[] = {", i);
    int column = 0;
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        std::fprintf(out, "%s0x%08xu,", column++ % 8 == 0 ? "\n    " : " ",
                     static_cast<unsigned>(row[x]));
      }
    }
    std::fputs("\n};\n", out);
  }
  std::fputs("\ninline constexpr Picture kPictures[] = {\n", out);
  for (size_t i = 0; i < entries.size(); ++i) {
    const QImage& image = entries[i].image;
    std::fprintf(out, "    {\"%s\", %d, %d, %d, %d, %d, kPixels%zu},\n", entries[i].name.c_str(),
                 image.width(), image.height(), static_cast<int>(image.format()),
                 image.dotsPerMeterX(), image.dotsPerMeterY(), i);
  }
  std::fputs("};\n\n}  // namespace rg_com_ptl_xyh::pictures\n", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: xyh-pixels OUT.h NAME=FILE...\n");
    return 2;
  }
  std::vector<Entry> entries(static_cast<size_t>(argc - 2));
  for (int i = 2; i < argc; ++i) {
    if (!Decode(argv[i], entries[static_cast<size_t>(i - 2)])) return 1;
  }
  const std::string path(argv[1]);
  const std::string partial = path + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "w");
  if (out == nullptr) {
    std::perror(partial.c_str());
    return 1;
  }
  Write(out, entries);
  // A header cut short by a full disk must not pass for a finished one.
  if (std::fclose(out) != 0 || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::perror(path.c_str());
    std::remove(partial.c_str());
    return 1;
  }
  return 0;
}
