#pragma once

#include <QString>

namespace OrvantaClient::API {

// Something the service describes: an id fixed for life, a display name and
// whether it currently exists in the service's view. Items are never replaced
// on refresh; their holder merges new data into them (see ApiItemsHolder).
template<typename T>
class ApiItem
{
public:
    explicit ApiItem(const T& id) : m_id(id) {}
    virtual ~ApiItem() = default;

    T id() const { return m_id; }

    // A name read from an answer longer than this is no name but a broken or
    // hostile answer; it is cut, so that no label, tooltip or log line has to
    // lay out or carry 100,000 characters. Names the user typed are kept.
    static constexpr int maxAnsweredNameLength = 256;
    static QString answeredName(const QString& name)
    {
        return name.size() <= maxAnsweredNameLength ? name : name.left(maxAnsweredNameLength - 1) + QChar(0x2026);
    }

    QString name() const { return m_name; }
    void setName(const QString& name)
    {
        if (name == m_name)
            return;
        m_name = name;
        onNameChanged();
    }

    bool exists() const { return m_exists; }
    void setExists(bool exists)
    {
        m_exists = exists;
        onExistsChanged(exists);
    }

protected:
    virtual void onNameChanged() = 0;
    virtual void onExistsChanged(bool exists) = 0;

private:
    QString m_name;
    bool m_exists = false;
    T m_id;
};

} // namespace OrvantaClient::API
