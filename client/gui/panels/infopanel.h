#pragma once

#include "model/apitypes.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace OrvantaClient::GUI {

class GridSizeEditor;

// The bar above the grid: the name of the layout shown and the buttons that
// edit, save, close or clone it. While editing, the name can be typed and the
// grid size picked; the main window decides what the buttons do.
class InfoPanel : public QWidget
{
    Q_OBJECT
public:
    explicit InfoPanel(QWidget* parent = nullptr);

    void setLayout(API::LayoutPtr layout);
    API::LayoutPtr layout() const { return m_layout; }

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing);
    // The name typed while editing.
    QString layoutName() const;
    // Puts the keys in the name field, its text selected; only while editing.
    void focusNameEdit();
    // The button that brings back the side bar, shown while it is hidden.
    void setShowButtonVisible(bool visible);

signals:
    void showRequest();
    void cloneWindowClicked();
    void closeLayout();
    void editLayout();
    void cancelEditing();
    void saveEditing();

private:
    void updateTitle();
    void updateButtons();
    void showGridEditor();
    // Whether the grid may become rows by columns: asks first when cameras would leave it.
    bool confirmShrink(int rows, int columns);

    API::LayoutPtr m_layout;
    bool m_editing = false;
    QLabel* m_title;
    QLineEdit* m_nameEdit;
    QPushButton* m_showButton;
    QPushButton* m_editButton;
    QPushButton* m_gridButton;
    QPushButton* m_saveButton;
    QPushButton* m_cancelButton;
    QPushButton* m_cloneButton;
    QPushButton* m_closeButton;
    GridSizeEditor* m_gridEditor;
};

} // namespace OrvantaClient::GUI
