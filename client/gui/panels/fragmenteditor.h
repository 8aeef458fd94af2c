#pragma once

#include <QDateTime>
#include <QWidget>

#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class FragmentEditorPrivate;
}

// The export prompt of the archive panel: the fragment's start and end as
// times that can be typed, and its duration. It follows the selection on the
// timeline and proposes typed changes back, refusing those that end before
// they start.
class FragmentEditor : public QWidget
{
    Q_OBJECT
public:
    explicit FragmentEditor(QWidget* parent = nullptr);
    ~FragmentEditor() override;

    QDateTime start() const;
    QDateTime end() const;
    // Shown as it is, without announcing it back.
    void setFragment(const QDateTime& start, const QDateTime& end);
    // Why the last typed time was refused, until the fragment changes; empty
    // when it was not.
    QString errorText() const;
    // The fields the user types into; the hover bubble keeps off them.
    QList<QWidget*> fields() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void fragmentEdited(QDateTime start, QDateTime end);

private:
    void onTimeTyped();

    std::unique_ptr<Internal::FragmentEditorPrivate> d;
};

} // namespace OrvantaClient::GUI
