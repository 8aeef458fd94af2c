#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

namespace Camsim {

// The picture of a simulated camera: a moving pattern with the camera's name
// and the given clock burnt in, so a screenshot tells which moment is shown.
class TestPicture
{
public:
    static QImage render(const QString& name, const QSize& size, const QDateTime& clock, qint64 frameNumber);
    static QByteArray jpeg(const QImage& image);
    // Planar 4:2:0 (BT.601, limited range): luma, then U and V at half size
    // (rounded up).
    static QByteArray toI420(const QImage& image);
};

} // namespace Camsim
