#pragma once

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QWidget>

#include <optional>

namespace OrvantaClient::GUI {

// The small frameless label that follows the pointer over the timeline and
// tells the time under it, or, while the export selection or one of its
// edges is dragged, the selected fragment.
class TimelineTooltip : public QWidget
{
    Q_OBJECT
public:
    explicit TimelineTooltip(QWidget* parent = nullptr);

    QTime time() const { return m_time; }
    QString text() const;
    QSize sizeHint() const override;

    // "12:03:10 – 12:05:40 (2 min 30 s)".
    static QString rangeText(const QDateTime& start, const QDateTime& end);
    // "2 min 30 s", "1 h 5 s", "0 s".
    static QString durationText(qint64 secs);

    // The top left corner nearest to wanted's that keeps a bubble of wanted's
    // size off every obstacle (with a little air), its left edge between
    // minLeft and maxLeft and its top where wanted has it; none when the row
    // has no such room.
    static std::optional<QPoint> clearPlace(const QRect& wanted, const QList<QRect>& obstacles, int minLeft,
                                            int maxLeft);

public slots:
    void setTime(QTime time);
    void setRange(const QDateTime& start, const QDateTime& end);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setShownText(const QString& text);

    QTime m_time;
    QString m_text;
};

} // namespace OrvantaClient::GUI
