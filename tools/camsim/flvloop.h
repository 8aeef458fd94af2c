#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

namespace Camsim {

// A pre-encoded FLV loop read into memory as tags, for live streams that
// start wherever the loop stands "now": the stream's set-up (header,
// onMetaData, codec configuration) apart from the frames, and the frames in
// time order with their key-frame flag.
class FlvLoop
{
public:
    struct Tag
    {
        quint8 type = 0; // 8 sound, 9 picture, 18 script
        qint64 timestamp = 0;
        bool key = false;
        QByteArray data;
    };

    static constexpr quint8 soundTag = 8;
    static constexpr quint8 videoTag = 9;
    static constexpr quint8 scriptTag = 18;

    // Reads a file once: every stream of the same file shares what was read
    // while any of them holds it. Returns null with a message on failure.
    static std::shared_ptr<const FlvLoop> load(const QString& fileName, QString* error);
    static std::shared_ptr<const FlvLoop> parse(const QByteArray& bytes, QString* error);

    // The file's header and the first "previous tag size".
    const QByteArray& header() const { return m_header; }
    // onMetaData, made a live stream's: no duration and no file size.
    const Tag& script() const { return m_script; }
    // The decoders' configuration (AVC, and AAC when the sound is AAC).
    const QVector<Tag>& codecSetup() const { return m_setup; }
    const QVector<Tag>& frames() const { return m_frames; }
    // Milliseconds: the last picture's timestamp and one picture's interval.
    qint64 duration() const { return m_duration; }
    // The index of the last key frame at or before position (in the loop's
    // milliseconds), or -1 when the loop has none that early.
    int keyFrameAt(qint64 position) const;
    int lastKeyFrame() const { return m_keys.last(); }

    // Appends one tag as it goes on the wire, with the given timestamp.
    static void appendTag(QByteArray& out, const Tag& tag, qint64 timestamp);

private:
    bool read(const QByteArray& bytes, QString* error);
    void addSetup(Tag tag);
    bool finishReading(QString* error);

    QByteArray m_header;
    Tag m_script;
    QVector<Tag> m_setup;
    QVector<Tag> m_frames;
    QVector<int> m_keys; // indexes into m_frames
    qint64 m_duration = 0;
};

} // namespace Camsim
