#pragma once

#include <QMenu>

class QAction;
class QRadioButton;

namespace OrvantaClient::GUI {

// The stream quality choice: "Low", "Middle", "High" and "Auto", one checked at
// a time, "Auto" on a new menu. Each entry is a radio button so the current
// choice stays visible while the menu is open.
class QualityMenu : public QMenu
{
    Q_OBJECT
public:
    enum Entry { Low, Middle, High, Auto };

    explicit QualityMenu(QWidget* parent = nullptr);

    QAction* entryAction(Entry entry) const;
    QRadioButton* entryButton(Entry entry) const;
    Entry checkedEntry() const;

private:
    void addEntry(const QString& text, bool checked);

    QList<QRadioButton*> m_buttons;
};

} // namespace OrvantaClient::GUI
