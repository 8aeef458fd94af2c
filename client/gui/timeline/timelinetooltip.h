#pragma once

#include <QTime>
#include <QWidget>

namespace OrvantaClient::GUI {

// The small frameless label that follows the pointer over the timeline and
// tells the time under it.
class TimelineTooltip : public QWidget
{
    Q_OBJECT
public:
    explicit TimelineTooltip(QWidget* parent = nullptr);

    QTime time() const { return m_time; }
    QString text() const;
    QSize sizeHint() const override;

public slots:
    void setTime(QTime time);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTime m_time;
};

} // namespace OrvantaClient::GUI
