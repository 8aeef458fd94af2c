#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"

#include <QJsonArray>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::API;

namespace {

ServerPtr serverWithCameras(const QString& id, int count)
{
    QJsonArray cameras;
    for (int i = 1; i <= count; ++i)
        cameras.append(QJsonObject{{"id", i}, {"name", QString("Cam %1").arg(i)}, {"online", true}});
    return std::make_shared<Server>(QJsonObject{{"id", id}, {"online", true}, {"cameras", cameras}});
}

// The lookup the roster store would hand in: the held server, if there is one.
ServerLookup lookupOf(const ServerPtr& held)
{
    return [held](const server_id_t& id) { return id == held->id() ? held : ServerPtr(); };
}

QStringList pointsOf(const QSignalSpy& spy)
{
    QStringList points;
    for (const QList<QVariant>& args : spy) {
        const auto point = args.first().value<LayoutCellPoint>();
        points << QString("%1,%2").arg(point.column).arg(point.row);
    }
    return points;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerMetaTypes(); }
    void newLayout();
    void addingAndCounting();
    void resizeRemovesCellsOutside();
    void exchangeMovesCameras();
    void jsonRoundTrip();
    void hostileSizesStayOnTheGrid();
    void copyAndUpdateKeepCountsBalanced();
    void previewPicture();
};

void TestLayout::newLayout()
{
    Layout layout;
    QVERIFY(!layout.exists());
    QCOMPARE(layout.rows(), 1);
    QCOMPARE(layout.columns(), 1);
    QVERIFY(!layout.id().contains('{') && !layout.id().contains('}'));
    QCOMPARE(layout.id().size(), 36);
    QCOMPARE(layout.name(), QStringLiteral("Untitled layout"));
}

void TestLayout::addingAndCounting()
{
    const ServerPtr server = serverWithCameras("s", 3);
    const CameraPtr one = server->item(1), two = server->item(2);
    Layout layout;
    layout.resize(1, 2);
    QSignalSpy added(&layout, &Layout::cameraAdded);
    QSignalSpy removed(&layout, &Layout::cameraRemoved);
    layout.addCamera(one);
    layout.addCamera(one, 0, 0, 1, 1); // the same camera in the same cell: nothing
    QCOMPARE(added.count(), 1);
    layout.addCamera(two);
    layout.addCamera(server->item(3)); // full: nothing
    QCOMPARE(pointsOf(added), (QStringList{"0,0", "1,0"}));
    QCOMPARE(layout.firstFreeCell(), LayoutCellPoint(-1, -1));
    QCOMPARE(layout.freeCellsCount(), 0);
    QCOMPARE(one->layoutsCount(), 1);

    layout.addCamera(two, 0, 0, 1, 1); // replaces the camera of a taken cell
    QCOMPARE(pointsOf(removed), QStringList{"0,0"});
    QCOMPARE(one->layoutsCount(), 0);
    QCOMPARE(two->layoutsCount(), 2);
    QCOMPARE(layout.cameras(), (QList<CameraPtr>{two, two}));

    // Signals of a camera shown twice still reach the layout after one cell goes.
    QSignalSpy timeline(&layout, &Layout::camerasTimelineUpdated);
    layout.removeCamera(LayoutCellPoint(0, 0));
    emit two->recordsChanged(QDate(2026, 1, 1));
    QCOMPARE(timeline.count(), 1);
    layout.removeCamera(LayoutCellPoint(1, 0));
    emit two->recordsChanged(QDate(2026, 1, 1));
    QCOMPARE(timeline.count(), 1);
    QCOMPARE(two->layoutsCount(), 0);
}

void TestLayout::resizeRemovesCellsOutside()
{
    const ServerPtr server = serverWithCameras("s", 9);
    Layout layout;
    layout.resize(3, 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            if (!(row == 2 && column == 0)) // one of the five cells to go stays empty
                layout.addCamera(server->item(row * 3 + column + 1), row, column, 1, 1);
    QSignalSpy removed(&layout, &Layout::cameraRemoved);
    QSignalSpy resized(&layout, &Layout::resized);
    layout.resize(2, 2);
    QCOMPARE(pointsOf(removed), (QStringList{"1,2", "2,0", "2,1", "2,2"}));
    QCOMPARE(resized.count(), 1);
    QCOMPARE(layout.camerasCount(), 4);
    layout.resize(2, 2);
    QCOMPARE(resized.count(), 1);
}

void TestLayout::exchangeMovesCameras()
{
    const ServerPtr server = serverWithCameras("s", 2);
    Layout layout;
    layout.resize(2, 2);
    layout.addCamera(server->item(1), 0, 0, 1, 1);
    layout.addCamera(server->item(2), 1, 1, 1, 1);
    QSignalSpy exchanged(&layout, &Layout::exchanged);
    QSignalSpy added(&layout, &Layout::cameraAdded);

    layout.exchange(LayoutCellPoint(1, 0), LayoutCellPoint(0, 0)); // empty first cell
    QCOMPARE(exchanged.count(), 0);
    layout.exchange(LayoutCellPoint(0, 0), LayoutCellPoint(1, 1));
    QCOMPARE(layout.cell(LayoutCellPoint(0, 0)).camera, server->item(2));
    QCOMPARE(layout.cell(LayoutCellPoint(1, 1)).camera, server->item(1));
    layout.exchange(LayoutCellPoint(1, 1), LayoutCellPoint(1, 0)); // into an empty cell
    QCOMPARE(layout.cell(LayoutCellPoint(1, 0)).camera, server->item(1));
    QVERIFY(!layout.cell(LayoutCellPoint(1, 1)).camera);
    layout.exchange(LayoutCellPoint(1, 0), LayoutCellPoint(5, 5)); // off the grid
    QCOMPARE(exchanged.count(), 2);
    QCOMPARE(added.count(), 0);
    QCOMPARE(server->item(1)->layoutsCount(), 1);
}

void TestLayout::jsonRoundTrip()
{
    const ServerPtr server = serverWithCameras("srv-j", 2);
    Layout layout;
    layout.setName("Hall");
    layout.resize(2, 3);
    layout.addCamera(server->item(2), 1, 2, 1, 1);
    layout.addCamera(server->item(1), 0, 1, 2, 1);
    const QJsonObject json = layout.toJson();
    QCOMPARE(json.value("cameras").toArray().first().toObject(),
             (QJsonObject{{"server", "srv-j"}, {"camera", 1}, {"row", 0}, {"column", 1}, {"w", 2}, {"h", 1}}));

    Layout copy(json, lookupOf(server));
    QVERIFY(copy.exists());
    QCOMPARE(copy.id(), layout.id());
    QCOMPARE(copy.toJson(), json);
    QCOMPARE(copy.cell(LayoutCellPoint(2, 1)).camera, server->item(2)); // the lookup's own objects
    const Layout unresolved(json, ServerLookup());
    QCOMPARE(unresolved.camerasCount(), 0);
    QCOMPARE(unresolved.name(), QStringLiteral("Hall"));
}

void TestLayout::hostileSizesStayOnTheGrid()
{
    const ServerPtr server = serverWithCameras("srv-h", 1);
    Layout huge(QJsonObject{{"id", "H"}, {"rows", 100000}, {"columns", -3},
                            {"cameras", QJsonArray{
                                            QJsonObject{{"server", "srv-h"}, {"camera", 1}, {"row", 15}, {"column", 0},
                                                        {"w", 1000000}, {"h", 1000000}},
                                            QJsonObject{{"server", "srv-h"}, {"camera", 1}, {"row", -1}, {"column", 0}},
                                            QJsonObject{{"server", "srv-h"}, {"camera", 1}, {"row", 16}, {"column", 0}},
                                        }}},
                lookupOf(server));
    QCOMPARE(huge.rows(), Layout::maxSize);
    QCOMPARE(huge.columns(), Layout::minSize);
    QCOMPARE(huge.camerasCount(), 1);
    QCOMPARE(huge.cells().first().w, 1);
    QCOMPARE(huge.cells().first().h, 1);
    QCOMPARE(huge.freeCellsCount(), 15);
    Layout zero(QJsonObject{{"id", "Z"}, {"rows", 0}, {"columns", 0}}, lookupOf(server));
    QCOMPARE(zero.rows() * zero.columns(), 1);
}

void TestLayout::copyAndUpdateKeepCountsBalanced()
{
    const ServerPtr server = serverWithCameras("s", 2);
    const CameraPtr one = server->item(1);
    Layout layout;
    layout.resize(1, 2);
    layout.addCamera(one);
    {
        Layout copy(layout);
        QCOMPARE(copy.id(), layout.id());
        QCOMPARE(one->layoutsCount(), 2);
        copy.addCamera(server->item(2));
        QSignalSpy preview(&layout, &Layout::camerasPreviewUpdated);
        layout.update(copy);
        QCOMPARE(preview.count(), 1);
        QCOMPARE(layout.camerasCount(), 2);
        QCOMPARE(one->layoutsCount(), 2);
    }
    QCOMPARE(one->layoutsCount(), 1);
    QCOMPARE(server->item(2)->layoutsCount(), 1);
}

void TestLayout::previewPicture()
{
    Layout layout;
    layout.resize(16, 16);
    const QImage picture = layout.previewPixmap().toImage();
    QCOMPARE(picture.size(), QSize(640, 480));
    QCOMPARE(QColor(picture.pixel(1, 1)), QColor(25, 25, 29));
    QCOMPARE(QColor(picture.pixel(40, 200)), QColor(41, 44, 49)); // a grid line
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layout.moc"
