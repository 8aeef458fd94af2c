// svgrender IN.svg OUT.png SIZE — renders an SVG into a transparent PNG, square for
// a plain SIZE, or WIDTHxHEIGHT for the few icons that are not square.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: svgrender IN.svg OUT.png SIZE|WIDTHxHEIGHT\n");
        return 1;
    }
    const QList<QByteArray> sides = QByteArray(argv[3]).split('x');
    const int width = sides.first().toInt();
    const int height = sides.size() == 2 ? sides.last().toInt() : width;
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || sides.size() > 2 || width <= 0 || width > 4096 || height <= 0 || height > 4096) {
        std::fprintf(stderr, "svgrender: cannot render %s at size %s\n", argv[1], argv[3]);
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
