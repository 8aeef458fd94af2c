#include "messagecapture.h"
#include "model/apiitem.h"
#include "model/apiitemsholder.h"
#include "model/apitypes.h"

#include <QtTest>
#include <memory>

using namespace OrvantaClient::API;

namespace {

struct Item : ApiItem<int>
{
    Item(int id, bool existing, const QString& name = QString()) : ApiItem<int>(id)
    {
        if (existing)
            setExists(true);
        setName(name);
        events.clear();
    }
    void update(const Item& other) { setName(other.name()); }
    void onNameChanged() override { events << "name:" + name(); }
    void onExistsChanged(bool exists) override { events << (exists ? "exists" : "gone"); }
    QStringList events;
};
using ItemPtr = std::shared_ptr<Item>;

struct Holder : ApiItemsHolder<ItemPtr, int>
{
    ~Holder() override { removeAll(); }
    void onItemAdded(const ItemPtr& item) override { events << QString("added %1").arg(item->id()); }
    void onItemRemoved(const ItemPtr& item) override { events << QString("removed %1").arg(item->id()); }
    QStringList events;
};

struct NamedItem : ApiItem<QString>
{
    using ApiItem<QString>::ApiItem;
    void update(const NamedItem&) {}
    void onNameChanged() override {}
    void onExistsChanged(bool) override {}
};

struct NamedHolder : ApiItemsHolder<std::shared_ptr<NamedItem>, QString>
{
    void onItemAdded(const std::shared_ptr<NamedItem>&) override {}
    void onItemRemoved(const std::shared_ptr<NamedItem>&) override {}
};

} // namespace

class TestApiItemsHolder : public QObject
{
    Q_OBJECT
private slots:
    void addingHeldIdMergesIntoFirstObject();
    void silentItemIsAnnouncedWhenFlaggedCopyArrives();
    void removeFlagsOnceAndRevivalKeepsIdentity();
    void unknownIdsAreLoggedAsTheirType();
    void cellPointOrder();
};

void TestApiItemsHolder::addingHeldIdMergesIntoFirstObject()
{
    Holder holder;
    auto first = std::make_shared<Item>(7, true, "Gate");
    holder.add(first);
    QCOMPARE(holder.events, QStringList{"added 7"});

    auto copy = std::make_shared<Item>(7, true, "Gate 2");
    holder.add(copy);
    QCOMPARE(holder.item(7), first);
    QCOMPARE(first->name(), QStringLiteral("Gate 2"));
    QCOMPARE(first->events, QStringList{"name:Gate 2"});
    QCOMPARE(holder.events, QStringList{"added 7"}); // no second "added"

    holder.add(std::make_shared<Item>(7, true, "Gate 2"));
    QCOMPARE(first->events.size(), 1); // equal name: no change signal
}

void TestApiItemsHolder::silentItemIsAnnouncedWhenFlaggedCopyArrives()
{
    Holder holder;
    auto placeholder = std::make_shared<Item>(3, false);
    holder.add(placeholder);
    QVERIFY(holder.events.isEmpty());
    QCOMPARE(holder.items().size(), 1);

    holder.add(std::make_shared<Item>(3, true, "Yard"));
    QCOMPARE(holder.item(3), placeholder);
    QVERIFY(placeholder->exists());
    QCOMPARE(placeholder->events, (QStringList{"name:Yard", "exists"}));
    QCOMPARE(holder.events, QStringList{"added 3"});
}

void TestApiItemsHolder::removeFlagsOnceAndRevivalKeepsIdentity()
{
    Holder holder;
    auto item = std::make_shared<Item>(5, true);
    holder.add(item);
    holder.add(std::make_shared<Item>(2, true));
    holder.events.clear();

    holder.remove(5);
    holder.remove(item);
    QCOMPARE(holder.events, QStringList{"removed 5"});
    QCOMPARE(item->events, QStringList{"gone"}); // the item's own signal comes first
    QCOMPARE(holder.item(5), item); // still held, reachable by id

    holder.add(std::make_shared<Item>(5, true));
    QCOMPARE(holder.item(5), item);
    QVERIFY(item->exists());
    QCOMPARE(holder.events, (QStringList{"removed 5", "added 5"}));

    holder.events.clear();
    holder.removeAll();
    QCOMPARE(holder.events, (QStringList{"removed 2", "removed 5"})); // ascending ids
}

void TestApiItemsHolder::unknownIdsAreLoggedAsTheirType()
{
    MessageCapture capture;
    Holder holder;
    holder.remove(42);
    NamedHolder named;
    named.remove(QStringLiteral("srv-1"));
    QCOMPARE(capture.messages(), (QStringList{"Skip removing unexisting item: 42",
                                              "Skip removing unexisting item: \"srv-1\""}));
}

void TestApiItemsHolder::cellPointOrder()
{
    QVERIFY(LayoutCellPoint(0, 1) < LayoutCellPoint(1, 0));
    QVERIFY(LayoutCellPoint(1, 0) < LayoutCellPoint(1, 2));
    QVERIFY(!(LayoutCellPoint(1, 2) < LayoutCellPoint(1, 2)));
    QCOMPARE(LayoutCellPoint(), LayoutCellPoint(-1, -1));
}

QTEST_GUILESS_MAIN(TestApiItemsHolder)
#include "tst_apiitemsholder.moc"
