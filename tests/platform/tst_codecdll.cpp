#include "codecdll.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

int clamp8(double value)
{
    return std::min(255, std::max(0, int(std::lround(value))));
}

// The converter's pixel for one Y, U, V triple, through the library's public calls.
std::vector<uint8_t> convertI420(const std::vector<uint8_t>& i420, int width, int height)
{
    CodecDll::IColorspaceConverter* converter
        = CodecDll_ColorspaceConverter(CodecDll::ColorspaceI420, unsigned(width), unsigned(height), 32, 0, 0);
    std::vector<uint8_t> bgra(size_t(width) * height * 4, 0);
    if (converter) {
        converter->convert(i420.data(), bgra.data());
        converter->release();
    }
    return bgra;
}

} // namespace

class TestCodecDll : public QObject
{
    Q_OBJECT
private slots:
    void unknownIdsGiveNull();
    void videoDecodeResults_data();
    void videoDecodeResults();
    void bgraConverterCopies();
    void i420FollowsBt601LimitedRange();
    void i420OddGeometryUsesRoundedUpChroma();
    void audioCodecs();
};

void TestCodecDll::unknownIdsGiveNull()
{
    QVERIFY(!CodecDll_VideoDecoder(0));
    QVERIFY(!CodecDll_VideoDecoder(3));
    QVERIFY(!CodecDll_AudioDecoder(0));
    QVERIFY(!CodecDll_AudioDecoder(4));
    QVERIFY(!CodecDll_ColorspaceConverter(0, 4, 4, 32, 0, 0));
    QVERIFY(!CodecDll_ColorspaceConverter(3, 4, 4, 32, 0, 0));
    QVERIFY(!CodecDll_ColorspaceConverter(1, 4, 4, 24, 0, 0));
    QVERIFY(!CodecDll_ColorspaceConverter(2, 0, 4, 32, 0, 0));
    QVERIFY(!CodecDll_ColorspaceConverter(2, 100000, 4, 32, 0, 0));
}

void TestCodecDll::videoDecodeResults_data()
{
    QTest::addColumn<int>("codec");
    QTest::addColumn<int>("colorspace");
    QTest::addColumn<int>("pictureBytes");
    // 5x3: I420 holds 15 luma bytes and two 3x2 chroma planes.
    QTest::newRow("BGRA") << int(CodecDll::VideoCodecBgra) << int(CodecDll::ColorspaceBgra) << 5 * 3 * 4;
    QTest::newRow("I420") << int(CodecDll::VideoCodecI420) << int(CodecDll::ColorspaceI420) << 15 + 2 * 6;
}

void TestCodecDll::videoDecodeResults()
{
    QFETCH(int, codec);
    QFETCH(int, colorspace);
    QFETCH(int, pictureBytes);
    CodecDll::IVideoDecoder* decoder = CodecDll_VideoDecoder(codec);
    QVERIFY(decoder);
    QCOMPARE(int(decoder->outputColorspace()), colorspace);
    QVERIFY(!decoder->setup(colorspace == 1 ? 2 : 1, 5, 3));
    QVERIFY(decoder->setup(unsigned(colorspace), 5, 3));
    CodecDll::IColorspaceConverter* converter = CodecDll_ColorspaceConverter(unsigned(colorspace), 5, 3, 32, 0, 0);
    QVERIFY(converter);
    QCOMPARE(converter->decodedImageSize(), pictureBytes);

    std::vector<uint8_t> payload(size_t(pictureBytes) + 1, 7), output(size_t(pictureBytes), 0);
    QCOMPARE(decoder->decode(payload.data(), 1, output.data()), int(CodecDll::ResultNoPicture));
    QCOMPARE(decoder->decode(payload.data(), pictureBytes - 1, output.data()), int(CodecDll::ResultFailed));
    QCOMPARE(decoder->decode(payload.data(), pictureBytes + 1, output.data()), int(CodecDll::ResultFailed));
    QCOMPARE(decoder->decode(payload.data(), pictureBytes, output.data()), int(CodecDll::ResultOk));
    QCOMPARE(output, std::vector<uint8_t>(size_t(pictureBytes), 7));
    converter->release();
    decoder->release();
}

void TestCodecDll::bgraConverterCopies()
{
    std::vector<uint8_t> picture(3 * 2 * 4);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint8_t(i * 11);
    std::vector<uint8_t> frame(picture.size() + 4, 0xEE);
    CodecDll::IColorspaceConverter* converter = CodecDll_ColorspaceConverter(CodecDll::ColorspaceBgra, 3, 2, 32, 0, 0);
    converter->convert(picture.data(), frame.data());
    converter->release();
    QVERIFY(std::equal(picture.begin(), picture.end(), frame.begin()));
    QCOMPARE(frame.back(), uint8_t(0xEE)); // nothing past the picture
}

// Every Y, U, V on a coarse grid, against the real-valued formula. The picture is
// wide enough for the vectorised path and odd for its tail.
void TestCodecDll::i420FollowsBt601LimitedRange()
{
    QVector<int> values;
    for (int v = 0; v < 256; v += 17)
        values.append(v);
    values.append(255);
    const int width = values.size() * values.size() * 2 + 1, height = 2 * values.size();
    const int chromaWidth = (width + 1) / 2;
    std::vector<uint8_t> i420(size_t(width) * height + 2 * size_t(chromaWidth) * (height / 2));
    uint8_t* u = i420.data() + size_t(width) * height;
    uint8_t* v = u + size_t(chromaWidth) * (height / 2);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            i420[size_t(row) * width + x] = uint8_t(values[row / 2]);
    for (int row = 0; row < height / 2; ++row)
        for (int cx = 0; cx < chromaWidth; ++cx) {
            u[row * chromaWidth + cx] = uint8_t(values[(cx / values.size()) % values.size()]);
            v[row * chromaWidth + cx] = uint8_t(values[cx % values.size()]);
        }
    const std::vector<uint8_t> bgra = convertI420(i420, width, height);
    int worst = 0;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const int cx = x / 2;
            const double c = 1.164 * (values[row / 2] - 16), d = u[(row / 2) * chromaWidth + cx] - 128.0,
                         e = v[(row / 2) * chromaWidth + cx] - 128.0;
            const uint8_t* pixel = &bgra[(size_t(row) * width + x) * 4];
            worst = std::max({worst, std::abs(pixel[0] - clamp8(c + 2.018 * d)),
                              std::abs(pixel[1] - clamp8(c - 0.391 * d - 0.813 * e)),
                              std::abs(pixel[2] - clamp8(c + 1.596 * e))});
            QCOMPARE(pixel[3], uint8_t(255));
        }
    QVERIFY2(worst <= 1, qPrintable(QStringLiteral("largest difference %1").arg(worst)));

    // Black and white of the limited range map to the ends of the full range.
    const std::vector<uint8_t> black = convertI420({16, 128, 128}, 1, 1);
    const std::vector<uint8_t> white = convertI420({235, 128, 128}, 1, 1);
    QCOMPARE(black, (std::vector<uint8_t>{0, 0, 0, 255}));
    QCOMPARE(white, (std::vector<uint8_t>{255, 255, 255, 255}));
}

void TestCodecDll::i420OddGeometryUsesRoundedUpChroma()
{
    // 3x3: chroma planes of 2x2; the last column and row use the last chroma sample.
    std::vector<uint8_t> i420(9, 128);
    const std::vector<uint8_t> u{128, 255, 128, 0}, v{128, 128, 255, 0};
    i420.insert(i420.end(), u.begin(), u.end());
    i420.insert(i420.end(), v.begin(), v.end());
    const std::vector<uint8_t> bgra = convertI420(i420, 3, 3);
    auto at = [&](int x, int y) { return &bgra[size_t(y * 3 + x) * 4]; };
    QCOMPARE(at(0, 0)[0], at(1, 1)[0]);         // one chroma sample for the 2x2 block
    QVERIFY(at(2, 0)[0] > at(0, 0)[0] + 100);   // U 255 raises blue
    QVERIFY(at(0, 2)[2] > at(0, 0)[2] + 100);   // V 255 raises red
    QVERIFY(at(2, 2)[0] < 10 && at(2, 2)[2] < 10);
}

void TestCodecDll::audioCodecs()
{
    struct Case
    {
        int codec;
        std::vector<uint8_t> payload;
        std::vector<int16_t> samples;
    };
    const Case cases[] = {
        {CodecDll::AudioCodecPcm16, {0x34, 0x12, 0xFF, 0xFF}, {0x1234, -1}},
        {CodecDll::AudioCodecMuLaw, {0xFF, 0x7F, 0x00, 0x80}, {0, 0, -32124, 32124}},
        {CodecDll::AudioCodecALaw, {0xD5, 0x55, 0xAA, 0x2A}, {8, -8, 32256, -32256}},
    };
    for (const Case& c : cases) {
        CodecDll::IAudioDecoder* decoder = CodecDll_AudioDecoder(c.codec);
        QVERIFY(decoder);
        int format = 0, flags = -1, length = -1;
        std::vector<uint8_t> output(16, 0);
        QCOMPARE(decoder->decode(c.payload.data(), int(c.payload.size()), output.data(), 16, &flags, &length),
                 int(CodecDll::ResultFailed)); // not set up
        QVERIFY(!decoder->setup(2, 8000, &format, 0, 0));
        QVERIFY(decoder->setup(1, 8000, &format, 0, 0));
        QCOMPARE(decoder->decode(c.payload.data(), int(c.payload.size()), output.data(), 16, &flags, &length),
                 int(CodecDll::ResultOk));
        QCOMPARE(length, int(c.samples.size() * 2));
        for (size_t i = 0; i < c.samples.size(); ++i)
            QCOMPARE(int16_t(output[2 * i] | output[2 * i + 1] << 8), c.samples[i]);
        // Output that would not fit is refused, not written past the buffer.
        QCOMPARE(decoder->decode(c.payload.data(), int(c.payload.size()), output.data(), 3, &flags, &length),
                 int(CodecDll::ResultFailed));
        decoder->release();
    }
}

QTEST_GUILESS_MAIN(TestCodecDll)
#include "tst_codecdll.moc"
