#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QPropertyAnimation;
class QPushButton;

namespace OrvantaClient::GUI {

// A coloured frame over the picture or the grid that reports a result or an
// error. It leaves by itself after a few seconds, sliding down out of sight
// (unless told to stay), or at once when the user closes it; either way it
// emits closed() once and the owner removes it.
class PlayerNotification : public QFrame
{
    Q_OBJECT
public:
    // text is rich text and may hold links; a link's text is a local path to open.
    explicit PlayerNotification(const QString& text, bool error = false, QWidget* parent = nullptr);

    static constexpr int displayTime = 3000;
    static constexpr int animationDuration = 250;
    static constexpr int closeDelay = 100;

    // For what the user must not miss: the frame stays until closed.
    void stayUntilClosed();

signals:
    void closed();

public slots:
    void animateTo(QPoint position);

protected:
    void timerEvent(QTimerEvent* event) override;

private slots:
    void on_closeButton_clicked();

private:
    void onLinkActivated(const QString& link);
    void closeSoon();
    void emitClosed();
    QPropertyAnimation* geometryAnimation(const QRect& target);

    QLabel* m_pixmapLabel;
    QLabel* m_messageLabel;
    QPushButton* m_closeButton;
    QPointer<QPropertyAnimation> m_moving;
    int m_displayTimerId = -1;
    int m_closeTimerId = -1;
    bool m_closed = false;
};

} // namespace OrvantaClient::GUI
