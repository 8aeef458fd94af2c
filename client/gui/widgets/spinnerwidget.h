#pragma once

#include <QColor>
#include <QWidget>

namespace OrvantaClient::GUI {

// A small turning ring that shows that something is loading. Hidden while it
// does not spin.
class SpinnerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SpinnerWidget(QWidget* parent = nullptr);
    ~SpinnerWidget() override;

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor& color);
    int ringWidth() const { return m_ringWidth; }
    void setRingWidth(int width);
    bool isSpinning() const { return m_spinning; }
    qreal angle() const { return m_angle; }

    QSize sizeHint() const override;

    static constexpr int stepInterval = 50;
    static constexpr qreal stepAngle = 20.0;
    static constexpr qreal startAngle = 90.0;

public slots:
    void start();
    void stop();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QColor m_color = Qt::white;
    QColor m_fillColor = Qt::transparent;
    qreal m_angle = startAngle;
    int m_ringWidth = 3;
    bool m_spinning = false;
    int m_timerId = -1;
};

} // namespace OrvantaClient::GUI
