#pragma once

#include <QDate>
#include <QDateTime>
#include <QWidget>

class QCalendarWidget;
class QDateEdit;
class QLabel;
class QSlider;
class QStackedWidget;

namespace OrvantaClient::GUI {

class FragmentEditor;

// The bar above the timeline: the day shown, the timeline's zoom and the
// prompts of the export steps.
class ArchiveControlPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ArchiveControlPanel(QWidget* parent = nullptr);

    QDate date() const;
    // Changes the date edit only when the date differs; an invalid date is ignored.
    void setDate(const QDate& date);
    int zoomLevel() const;
    // The popup of the date edit, e.g. a calendar that marks the recorded days.
    void setCalendarWidget(QCalendarWidget* calendar);

    // The fragment picked for export, shown with the export prompt.
    void setFragment(const QDateTime& start, const QDateTime& end);
    FragmentEditor* fragmentEditor() const { return m_fragmentEditor; }
    // What a pointer may be on its way to: the day and zoom buttons, the date
    // and the fragment's fields.
    QList<QWidget*> controls() const;

    static constexpr int minimumZoom = 0;
    static constexpr int maximumZoom = 100;

signals:
    void dateChanged(QDate date);
    void zoomedIn();
    void zoomedOut();
    void zoomed(int level);
    // A start and end typed in, the end after the start.
    void fragmentEdited(QDateTime start, QDateTime end);

public slots:
    void zoom(int level);
    void showSelectFragmentMessage();
    void showExportingMessage();
    void showExportUnavailableMessage(const QString& reason);
    void hideMessage();

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void on_prevDayButton_clicked();
    void on_nextDayButton_clicked();

private:
    QDateEdit* m_dateEdit;
    QSlider* m_zoomSlider;
    QStackedWidget* m_messageStack;
    QLabel* m_unavailableLabel = nullptr;
    FragmentEditor* m_fragmentEditor = nullptr;
    QList<QWidget*> m_controls;
};

} // namespace OrvantaClient::GUI
