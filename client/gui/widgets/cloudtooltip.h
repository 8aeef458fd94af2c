#pragma once

#include <QWidget>

namespace OrvantaClient::GUI {

// A white speech bubble whose pointer points down at a spot on the screen. At
// most one is shown at a time; showing another replaces it.
class CloudToolTip : public QWidget
{
    Q_OBJECT
public:
    ~CloudToolTip() override;

    // point is in screen coordinates. An empty text only hides the one shown.
    static void showText(const QString& text, const QPoint& point, QWidget* parent = nullptr);
    static void hideText();
    static bool isShown();
    // The tool tip shown now, or null.
    static CloudToolTip* current();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CloudToolTip(const QString& text, QWidget* parent);

    static CloudToolTip* s_current;
};

} // namespace OrvantaClient::GUI
