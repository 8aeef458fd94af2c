#include "testpicture.h"

#include <QBuffer>
#include <QPainter>

namespace Camsim {

QImage TestPicture::render(const QString& name, const QSize& size, const QDateTime& clock, qint64 frameNumber)
{
    QImage image(size, QImage::Format_RGB32);
    const int bars = 7;
    static const QRgb colours[bars] = {0xc0c0c0, 0xc0c000, 0x00c0c0, 0x00c000, 0xc000c0, 0xc00000, 0x0000c0};
    QPainter painter(&image);
    for (int i = 0; i < bars; ++i)
        painter.fillRect(QRect(i * size.width() / bars, 0, size.width() / bars + 1, size.height()), QColor(colours[i]));
    // A block that sweeps across, one step per frame: motion is visible.
    const int block = qMax(8, size.height() / 8);
    const int x = int(frameNumber * 4 % qMax(1, size.width() - block));
    painter.fillRect(QRect(x, size.height() / 2 - block / 2, block, block), Qt::black);

    QFont font(QStringLiteral("PT Sans"));
    font.setPixelSize(qMax(10, size.height() / 14));
    painter.setFont(font);
    const QRect textBox(0, 0, size.width(), font.pixelSize() * 3);
    painter.fillRect(textBox, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(textBox.adjusted(8, 4, -8, -4), Qt::AlignLeft | Qt::AlignTop, name);
    painter.drawText(textBox.adjusted(8, 4, -8, -4), Qt::AlignLeft | Qt::AlignBottom,
                     clock.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    return image;
}

QByteArray TestPicture::jpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

QByteArray TestPicture::toI420(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    QByteArray out(w * h + 2 * cw * ch, Qt::Uninitialized);
    auto* y = reinterpret_cast<uchar*>(out.data());
    uchar* u = y + w * h;
    uchar* v = u + cw * ch;
    for (int row = 0; row < h; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int col = 0; col < w; ++col) {
            const int r = qRed(line[col]), g = qGreen(line[col]), b = qBlue(line[col]);
            y[row * w + col] = uchar(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
        }
    }
    for (int row = 0; row < ch; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(qMin(2 * row, h - 1)));
        for (int col = 0; col < cw; ++col) {
            const QRgb p = line[qMin(2 * col, w - 1)];
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            u[row * cw + col] = uchar(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
            v[row * cw + col] = uchar(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
        }
    }
    return out;
}

} // namespace Camsim
