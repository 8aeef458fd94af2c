// sanitizerprobe qt|leak|overflow — what the sanitizer build must tell apart:
// "qt" starts the GUI side of Qt as our programs do and draws text (platform plugin,
// fonts), which must pass; "leak" loses an object of ours and "overflow" adds past
// the largest int, which must both fail.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct LostRecord
{
    QString name;
    int id;
};

// Through a volatile pointer, so that the compiler cannot drop the allocation.
LostRecord* volatile lastRecord = nullptr;

__attribute__((noinline)) void loseRecord()
{
    lastRecord = new LostRecord{QString::fromLatin1("lost on purpose"), 1};
    lastRecord = nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "leak") == 0) {
        loseRecord();
        return 0;
    }
    if (std::strcmp(mode, "overflow") == 0) {
        // From the command line, so that the compiler cannot see the sum coming.
        const int step = argc > 2 ? std::atoi(argv[2]) : 1;
        const int sum = INT_MAX + step;
        std::printf("%d\n", sum);
        return 0;
    }
    if (std::strcmp(mode, "qt") == 0) {
        QGuiApplication app(argc, argv);
        QImage image(200, 50, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("PT Sans"), 12));
        painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Проверка"));
        painter.end();
        return 0;
    }
    std::fprintf(stderr, "usage: sanitizerprobe qt|leak|overflow [STEP]\n");
    return 2;
}
