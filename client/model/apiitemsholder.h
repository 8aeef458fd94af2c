#pragma once

#include <QDebug>
#include <QList>
#include <map>

namespace OrvantaClient::API {

// An ordered id-to-item map whose objects keep their identity: adding an id
// that is held merges into the held object, removing only clears its existence
// flag, and a later add of the same id revives the same object. Widgets that
// hold a pointer therefore stay valid across every refresh.
//
// Derived classes call removeAll() in their own destructor, while their hooks
// can still run.
template<typename Ptr, typename Id>
class ApiItemsHolder
{
public:
    virtual ~ApiItemsHolder() = default;

    void add(const Ptr& item)
    {
        const Id id = item->id();
        auto it = m_items.find(id);
        if (it == m_items.end()) {
            m_items.emplace(id, item);
            if (item->exists())
                onItemAdded(item);
            return;
        }
        const Ptr held = it->second;
        held->update(*item);
        if (!held->exists() && item->exists()) {
            held->setExists(true);
            onItemAdded(held);
        }
    }

    void remove(const Id& id)
    {
        auto it = m_items.find(id);
        if (it == m_items.end()) {
            qDebug() << "Skip removing unexisting item:" << id;
            return;
        }
        const Ptr held = it->second;
        if (!held->exists())
            return;
        held->setExists(false);
        onItemRemoved(held);
    }

    void remove(const Ptr& item) { remove(item->id()); }

    void removeAll()
    {
        QList<Id> ids;
        for (const auto& entry : m_items)
            ids.append(entry.first);
        for (const Id& id : ids)
            remove(id);
    }

    // The item held under id, existing or not; null when never added.
    Ptr item(const Id& id) const
    {
        auto it = m_items.find(id);
        return it == m_items.end() ? Ptr() : it->second;
    }

    // Every held item in ascending id order, including removed ones.
    QList<Ptr> items() const
    {
        QList<Ptr> list;
        for (const auto& entry : m_items)
            list.append(entry.second);
        return list;
    }

protected:
    // Holds item in the place of the object held under its id, for a held
    // object of another kind that cannot take the item's part. Only for a held
    // object nobody was told of (it does not exist); the item is announced
    // when it exists.
    void replace(const Ptr& item)
    {
        m_items[item->id()] = item;
        if (item->exists())
            onItemAdded(item);
    }

    virtual void onItemAdded(const Ptr& item) = 0;
    virtual void onItemRemoved(const Ptr& item) = 0;

private:
    std::map<Id, Ptr> m_items;
};

} // namespace OrvantaClient::API
