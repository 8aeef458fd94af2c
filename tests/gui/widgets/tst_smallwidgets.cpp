#include "gui/widgets/cloudtooltip.h"
#include "gui/widgets/playernotification.h"
#include "gui/widgets/spinnerwidget.h"
#include "resources/resources.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;

// What the widget paints itself, without a window background behind it.
static QImage paintedAlone(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Stands in for the desktop's file manager.
class FileOpener : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestSmallWidgets : public QObject
{
    Q_OBJECT
private slots:
    void notificationClosedByButtonOrLinkDoesNotSlide_data();
    void notificationClosedByButtonOrLinkDoesNotSlide();
    void notificationLeftAloneSlidesDownOnce();
    void notificationAnimatesToTheLatestPlace();
    void spinnerStartAndStopAreIdempotent();
    void spinnerGeometry();
    void cloudToolTipReplacesAndForgets();
};

void TestSmallWidgets::notificationClosedByButtonOrLinkDoesNotSlide_data()
{
    QTest::addColumn<bool>("byLink");
    QTest::newRow("close button") << false;
    QTest::newRow("open folder link") << true;
}

void TestSmallWidgets::notificationClosedByButtonOrLinkDoesNotSlide()
{
    QFETCH(bool, byLink);
    FileOpener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    QWidget owner;
    owner.resize(400, 300);
    auto* frame = new PlayerNotification(QStringLiteral("Saved. <a href=\"/tmp/shots\">Open folder</a>"), false, &owner);
    frame->setGeometry(10, 200, 300, 60);
    owner.show();
    QSignalSpy closed(frame, &PlayerNotification::closed);

    QElapsedTimer clock;
    clock.start();
    if (byLink)
        emit frame->findChild<QLabel*>(QStringLiteral("messageLabel"))->linkActivated(QStringLiteral("/tmp/shots"));
    else
        frame->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    QVERIFY(closed.wait(5000));
    QVERIFY(clock.elapsed() >= 50);
    QCOMPARE(frame->geometry(), QRect(10, 200, 300, 60));
    QVERIFY(frame->findChildren<QPropertyAnimation*>().isEmpty());
    QCOMPARE(opener.opened, byLink ? QList<QUrl>{QUrl::fromLocalFile("/tmp/shots")} : QList<QUrl>{});

    // The owner may remove it a moment later: it must not report again meanwhile.
    QTest::qWait(350);
    QCOMPARE(closed.count(), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TestSmallWidgets::notificationLeftAloneSlidesDownOnce()
{
    QWidget owner;
    owner.resize(400, 300);
    auto* frame = new PlayerNotification(QStringLiteral("Export failed"), true, &owner);
    frame->setGeometry(10, 200, 300, 60);
    owner.show();
    QCOMPARE(frame->objectName(), QStringLiteral("PlayerNotification"));
    QCOMPARE(frame->property("error").toBool(), true);
    QSignalSpy closed(frame, &PlayerNotification::closed);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(closed.wait(15000));
    QVERIFY(clock.elapsed() >= PlayerNotification::displayTime);
    QCOMPARE(frame->geometry(), QRect(10, 260, 300, 60));
    // The frame is red: the error property reached the style sheet.
    const QColor background = frame->grab().toImage().pixelColor(150, 5);
    QVERIFY2(background.red() > 200 && background.blue() < 120, qPrintable(background.name()));
    frame->setGeometry(10, 200, 300, 60);
    QTest::qWait(PlayerNotification::displayTime + 500);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(frame->geometry(), QRect(10, 200, 300, 60));
}

void TestSmallWidgets::notificationAnimatesToTheLatestPlace()
{
    QWidget owner;
    owner.resize(400, 300);
    auto* frame = new PlayerNotification(QStringLiteral("Snapshot saved"), false, &owner);
    frame->setGeometry(10, 200, 300, 60);
    owner.show();
    frame->animateTo(QPoint(10, 140));
    frame->animateTo(QPoint(10, 80));
    const auto animations = frame->findChildren<QPropertyAnimation*>();
    QCOMPARE(std::count_if(animations.begin(), animations.end(),
                           [](QPropertyAnimation* a) { return a->state() == QAbstractAnimation::Running; }),
             1);
    QTRY_COMPARE_WITH_TIMEOUT(frame->geometry(), QRect(10, 80, 300, 60), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(frame->findChildren<QPropertyAnimation*>().isEmpty(), 5000);
}

void TestSmallWidgets::spinnerStartAndStopAreIdempotent()
{
    SpinnerWidget spinner;
    QCOMPARE(spinner.sizeHint(), QSize(17, 17));
    QVERIFY(spinner.isHidden());
    spinner.start();
    QVERIFY(!spinner.isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(spinner.angle() < SpinnerWidget::startAngle, 5000);
    const qreal turned = spinner.angle();
    spinner.start();
    QCOMPARE(spinner.angle(), turned);
    spinner.stop();
    QVERIFY(spinner.isHidden());
    spinner.show();
    spinner.stop();
    QVERIFY(!spinner.isHidden());
}

void TestSmallWidgets::spinnerGeometry()
{
    // 17 x 17 with a 3 px ring: the disc has radius 5 around (8, 8) and the ring
    // is drawn on a circle of radius 2.
    SpinnerWidget spinner;
    spinner.resize(17, 17);
    spinner.setFillColor(Qt::red);
    spinner.setColor(Qt::green);
    const QImage image = paintedAlone(&spinner);
    auto at = [&image](int x, int y) { return image.pixelColor(x, y); };
    const QColor disc = at(8, 3); // inside the disc, off the ring
    QVERIFY2(disc.red() > 230 && disc.green() < 60 && disc.alpha() > 230, qPrintable(disc.name(QColor::HexArgb)));
    QVERIFY(at(8, 2).alpha() < 64);       // just outside the disc
    QCOMPARE(at(1, 1).alpha(), 0);
    QVERIFY(at(7, 7).green() > at(7, 7).red()); // on the ring near its bright start

    spinner.setRingWidth(9); // no room for a disc: nothing is drawn
    QCOMPARE(paintedAlone(&spinner).pixelColor(8, 8).alpha(), 0);
}

void TestSmallWidgets::cloudToolTipReplacesAndForgets()
{
    CloudToolTip::showText(QStringLiteral("Proxy settings"), QPoint(200, 200));
    QPointer<CloudToolTip> first = CloudToolTip::current();
    QVERIFY(CloudToolTip::isShown());
    QVERIFY(first && first->isVisible());
    // The pointer's tip sits on the given point's row.
    QCOMPARE(first->geometry().bottom(), 200);

    CloudToolTip::showText(QString(), QPoint(10, 10));
    QVERIFY(!first);
    QVERIFY(!CloudToolTip::isShown());

    auto* parent = new QWidget;
    CloudToolTip::showText(QStringLiteral("Forgot password?"), QPoint(50, 50), parent);
    QVERIFY(CloudToolTip::isShown());
    delete parent;
    QVERIFY(!CloudToolTip::isShown());
    CloudToolTip::hideText(); // nothing dangling to delete
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerResources();
    TestSmallWidgets test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallwidgets.moc"
