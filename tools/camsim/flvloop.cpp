#include "flvloop.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace Camsim {

namespace {

constexpr int headerSize = 9;
constexpr int tagHeaderSize = 11;
constexpr int avcCodec = 7;
constexpr int aacFormat = 10;

quint32 read24(const char* at)
{
    const auto* bytes = reinterpret_cast<const uchar*>(at);
    return quint32(bytes[0]) << 16 | quint32(bytes[1]) << 8 | bytes[2];
}

void write24(char* at, quint32 value)
{
    at[0] = char(value >> 16);
    at[1] = char(value >> 8);
    at[2] = char(value);
}

// A live muxer writes 0 for these, and a player that saw the loop's ten
// seconds there could take the stream for a ten-second clip.
void zeroNumber(QByteArray& script, const QByteArray& key)
{
    // An AMF0 property: u16 name length, the name, then the number's marker 0.
    QByteArray property(2, '\0');
    property[1] = char(key.size());
    property += key;
    property += '\0';
    const int at = script.indexOf(property);
    if (at >= 0 && script.size() - (at + property.size()) >= 8)
        std::memset(script.data() + at + property.size(), 0, 8);
}

} // namespace

std::shared_ptr<const FlvLoop> FlvLoop::load(const QString& fileName, QString* error)
{
    static QMutex mutex;
    static QHash<QString, std::weak_ptr<const FlvLoop>> cache;
    QMutexLocker lock(&mutex);
    if (std::shared_ptr<const FlvLoop> loop = cache.value(fileName).lock())
        return loop;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the loop %1: %2").arg(fileName, file.errorString());
        return nullptr;
    }
    QString why;
    std::shared_ptr<const FlvLoop> loop = parse(file.readAll(), &why);
    if (!loop) {
        *error = QStringLiteral("the loop %1 is not usable: %2").arg(fileName, why);
        return nullptr;
    }
    // Forget the loops no stream holds any more.
    for (auto it = cache.begin(); it != cache.end();) {
        if (it.value().expired())
            it = cache.erase(it);
        else
            ++it;
    }
    cache.insert(fileName, loop);
    return loop;
}

std::shared_ptr<const FlvLoop> FlvLoop::parse(const QByteArray& bytes, QString* error)
{
    auto loop = std::make_shared<FlvLoop>();
    if (!loop->read(bytes, error) || !loop->finishReading(error))
        return nullptr;
    return loop;
}

bool FlvLoop::read(const QByteArray& bytes, QString* error)
{
    if (bytes.size() < headerSize || !bytes.startsWith("FLV")) {
        *error = QStringLiteral("no FLV header");
        return false;
    }
    const qint64 size = bytes.size();
    const qint64 dataOffset = qFromBigEndian<quint32>(bytes.constData() + 5);
    if (dataOffset < headerSize || size - dataOffset < 4) {
        *error = QStringLiteral("the header claims %1 bytes of %2").arg(dataOffset).arg(size);
        return false;
    }
    m_header = bytes.left(int(dataOffset + 4));
    bool haveScript = false;
    qint64 at = dataOffset + 4;
    while (at < size) {
        if (size - at < tagHeaderSize + 4) {
            *error = QStringLiteral("a tag cut short at byte %1").arg(at);
            return false;
        }
        const qint64 start = at;
        const char* head = bytes.constData() + at;
        Tag tag;
        tag.type = quint8(head[0]);
        const qint64 dataSize = read24(head + 1);
        tag.timestamp = qint64(read24(head + 4)) | qint64(quint8(head[7])) << 24;
        if (dataSize > size - at - tagHeaderSize - 4) {
            *error = QStringLiteral("the tag at byte %1 claims %2 bytes, %3 are left")
                         .arg(at)
                         .arg(dataSize)
                         .arg(size - at - tagHeaderSize - 4);
            return false;
        }
        const quint32 previous = qFromBigEndian<quint32>(head + tagHeaderSize + dataSize);
        if (previous != quint32(dataSize + tagHeaderSize)) {
            *error = QStringLiteral("the tag at byte %1 ends with size %2, not %3")
                         .arg(at)
                         .arg(previous)
                         .arg(dataSize + tagHeaderSize);
            return false;
        }
        tag.data = bytes.mid(int(at + tagHeaderSize), int(dataSize));
        at += tagHeaderSize + dataSize + 4;

        const auto* data = reinterpret_cast<const uchar*>(tag.data.constData());
        if (tag.type == scriptTag) {
            if (!haveScript) {
                zeroNumber(tag.data, "duration");
                zeroNumber(tag.data, "filesize");
                m_script = tag;
                haveScript = true;
            }
            continue;
        }
        if (tag.type != videoTag && tag.type != soundTag)
            continue; // nothing a player needs
        if (dataSize < 1) {
            *error = QStringLiteral("an empty media tag at byte %1").arg(start);
            return false;
        }
        if (tag.type == videoTag) {
            const int frameType = data[0] >> 4;
            if (frameType == 5)
                continue; // a command, not a picture
            if ((data[0] & 0x0f) == avcCodec) {
                if (dataSize < 5) {
                    *error = QStringLiteral("an AVC tag of %1 bytes at byte %2").arg(dataSize).arg(start);
                    return false;
                }
                if (data[1] == 2)
                    continue; // the end of the file's sequence: a loop goes on
                if (data[1] == 0) {
                    addSetup(tag);
                    continue;
                }
            }
            tag.key = frameType == 1;
        } else if (data[0] >> 4 == aacFormat && dataSize >= 2 && data[1] == 0) {
            addSetup(tag);
            continue;
        }
        m_frames.append(tag);
    }
    if (!haveScript) {
        *error = QStringLiteral("no onMetaData");
        return false;
    }
    return true;
}

void FlvLoop::addSetup(Tag tag)
{
    // A decoder is set up once, at the stream's start.
    if (std::any_of(m_setup.cbegin(), m_setup.cend(), [&tag](const Tag& known) { return known.type == tag.type; }))
        return;
    tag.timestamp = 0;
    m_setup.append(tag);
}

bool FlvLoop::finishReading(QString* error)
{
    // The picture sets the loop's length. Sound past its end would overlap the
    // next round's start, so it is left out.
    qint64 first = -1, last = -1;
    int pictures = 0;
    bool avc = false;
    for (const Tag& tag : qAsConst(m_frames)) {
        if (tag.type != videoTag)
            continue;
        first = first < 0 ? tag.timestamp : qMin(first, tag.timestamp);
        last = qMax(last, tag.timestamp);
        ++pictures;
        avc = avc || (quint8(tag.data.at(0)) & 0x0f) == avcCodec;
    }
    if (pictures == 0) {
        *error = QStringLiteral("no pictures");
        return false;
    }
    if (avc && std::none_of(m_setup.cbegin(), m_setup.cend(), [](const Tag& tag) { return tag.type == videoTag; })) {
        *error = QStringLiteral("no AVC sequence header");
        return false;
    }
    const qint64 interval = pictures > 1 ? qMax<qint64>(1, qRound(double(last - first) / (pictures - 1))) : 40;
    m_duration = last + interval;
    m_frames.erase(std::remove_if(m_frames.begin(), m_frames.end(),
                                  [this](const Tag& tag) { return tag.timestamp >= m_duration; }),
                   m_frames.end());
    std::stable_sort(m_frames.begin(), m_frames.end(),
                     [](const Tag& a, const Tag& b) { return a.timestamp < b.timestamp; });
    for (int i = 0; i < m_frames.size(); ++i) {
        if (m_frames.at(i).key)
            m_keys.append(i);
    }
    if (m_keys.isEmpty()) {
        *error = QStringLiteral("no key frame");
        return false;
    }
    return true;
}

int FlvLoop::keyFrameAt(qint64 position) const
{
    const auto after = std::upper_bound(m_keys.cbegin(), m_keys.cend(), position, [this](qint64 time, int index) {
        return time < m_frames.at(index).timestamp;
    });
    return after == m_keys.cbegin() ? -1 : *(after - 1);
}

void FlvLoop::appendTag(QByteArray& out, const Tag& tag, qint64 timestamp)
{
    char head[tagHeaderSize] = {};
    head[0] = char(tag.type);
    write24(head + 1, quint32(tag.data.size()));
    write24(head + 4, quint32(timestamp) & 0xffffff);
    head[7] = char(quint32(timestamp) >> 24);
    out.append(head, tagHeaderSize);
    out.append(tag.data);
    char previous[4];
    qToBigEndian(quint32(tag.data.size() + tagHeaderSize), previous);
    out.append(previous, 4);
}

} // namespace Camsim
