// Build tool: draws the pictures at the sizes the windows show them and
// writes them as C++ arrays of finished pixels, so that the program shows
// them at start-up without parsing, drawing or decoding anything.
//
//   render_pictures SVG_FOLDER OUTPUT.cpp NAME:WxH...
//
// draws NAME.svg of SVG_FOLDER at W x H as qvx::Picture would draw it. The
// pixels are premultiplied ARGB in the byte order of the machine that builds,
// which is the machine the program runs on.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
  // No display is needed to draw into an image.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // text in the pictures needs the fonts
  if (argc < 3) {
    std::fprintf(stderr, "usage: render_pictures SVG_FOLDER OUTPUT.cpp NAME:WxH...\n");
    return 2;
  }
  const QDir svgs(QString::fromLocal8Bit(argv[1]));
  QString code;
  QTextStream out(&code);
  out << "// Drawn by render_pictures from the pictures' SVG files; do not edit.\n"
      << "#include \"app/drawn_pictures.h\"\n\nnamespace qvx {\nnamespace {\n\n";
  QStringList entries;
  for (int i = 3; i < argc; ++i) {
    const QString entry = QString::fromLocal8Bit(argv[i]);
    const QString name = entry.section(':', 0, 0);
    const QStringList sides = entry.section(':', 1).split('x');
    const QSize size(sides.value(0).toInt(), sides.value(1).toInt());
    QSvgRenderer renderer(svgs.filePath(name + ".svg"));
    if (!renderer.isValid() || size.isEmpty()) {
      std::fprintf(stderr, "render_pictures: cannot draw %s\n", argv[i]);
      return 1;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    out << "alignas(4) const unsigned char kPixels" << i << "[] = {";
    const uchar* bytes = image.constBits();
    for (qsizetype b = 0; b < image.sizeInBytes(); ++b)
      out << (b % 24 == 0 ? "\n" : "") << bytes[b] + 0 << ',';
    out << "\n};\n\n";
    entries << QStringLiteral("    {\"%1\", %2, %3, kPixels%4},\n")
                   .arg(name)
                   .arg(size.width())
                   .arg(size.height())
                   .arg(i);
  }
  out << "}  // namespace\n\nconst std::vector<DrawnPicture>& DrawnPictures() {\n"
      << "  static const std::vector<DrawnPicture> pictures = {\n"
      << entries.join(QString()) << "  };\n  return pictures;\n}\n\n}  // namespace qvx\n";
  out.flush();
  QFile file(QString::fromLocal8Bit(argv[2]));
  if (!file.open(QIODevice::WriteOnly) || file.write(code.toUtf8()) < 0) {
    std::fprintf(stderr, "render_pictures: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
