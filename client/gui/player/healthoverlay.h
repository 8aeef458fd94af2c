#pragma once

#include <QLabel>
#include <memory>

namespace OrvantaClient::GUI::Player {

namespace Internal {
class HealthOverlayPrivate;
}

class VideoWidget;

// The stream's health over a cell, in its top left corner: the picture size the
// worker delivers, the pictures per second received and shown, the stream
// quality, the worker and its restarts. It exists only while shown, and reads
// what the cell already knows once a second.
class HealthOverlay : public QLabel
{
    Q_OBJECT
public:
    explicit HealthOverlay(VideoWidget* cell);
    ~HealthOverlay() override;

    // Whether the grid chooses the cell's quality by its size ("Auto").
    void setAutomaticQuality(bool automatic);
    // Samples the cell now and rewrites the text.
    void refresh();

protected:
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    std::unique_ptr<Internal::HealthOverlayPrivate> d;
};

} // namespace OrvantaClient::GUI::Player
