#pragma once

#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace OrvantaClient::GUI {

// The narrow strip beside the side bar that chooses its page.
class ToolBar : public QWidget
{
    Q_OBJECT
public:
    explicit ToolBar(QWidget* parent = nullptr);

signals:
    void liveClicked();
    void layoutsClicked();
    void settingsClicked();

public slots:
    void setRosterMode();
    void setLayoutsMode();
    void setSettingsMode();

private:
    QToolButton* addButton(const QString& name, const QString& text, const QString& icon);

    QButtonGroup* m_group;
    QToolButton* m_live;
    QToolButton* m_layouts;
    QToolButton* m_settings;
};

} // namespace OrvantaClient::GUI
