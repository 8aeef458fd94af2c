#include "shortcutsdialog.h"

#include "keyboardshortcuts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

ShortcutsDialog::ShortcutsDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("shortcutsDialog"));
    setWindowTitle(tr("Keyboard shortcuts"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("shortcutsTable"));
    const QList<KeyboardShortcuts::Shortcut> shortcuts = KeyboardShortcuts::table();
    table->setColumnCount(2);
    table->setRowCount(shortcuts.size());
    table->setHorizontalHeaderLabels({tr("Keys"), tr("Action")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setWordWrap(true);
    for (int row = 0; row < shortcuts.size(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(shortcuts.at(row).keyText));
        table->setItem(row, 1, new QTableWidgetItem(shortcuts.at(row).description));
    }
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    // Rows follow the width the descriptions get, which is known only once shown.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addWidget(table);
    box->addWidget(buttons);
    // Enter or Escape closes it at once; the table is a Tab away.
    buttons->button(QDialogButtonBox::Close)->setFocus();
    resize(720, 680);
}

} // namespace OrvantaClient::GUI
