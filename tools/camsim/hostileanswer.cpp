#include "hostileanswer.h"

#include "httpserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

namespace Camsim {

namespace {

constexpr int nestingLevels = 100000;
constexpr int paddingSize = 20 * 1024 * 1024;
constexpr int longNameSize = 100000;

class Alteration
{
public:
    explicit Alteration(const QString& mode) : m_mode(mode) {}

    QJsonValue outermost(const QJsonValue& value) { return alter(value, 0); }

private:
    QJsonValue alter(const QJsonValue& value, int depth)
    {
        const bool flip = m_mode == QLatin1String("wrongTypes") && depth > 0;
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            QJsonObject altered;
            for (auto it = object.begin(); it != object.end(); ++it) {
                if (m_mode == QLatin1String("missingKeys") && depth > 0 && !altered.isEmpty())
                    break;
                QJsonValue member = alter(it.value(), depth + 1);
                if (m_mode == QLatin1String("longNames") && it.key() == QLatin1String("name") && member.isString())
                    member = stretched(member.toString());
                altered.insert(it.key(), member);
                if (m_mode == QLatin1String("repeatedIds") && it.value().toObject().contains(QStringLiteral("id")))
                    altered.insert(it.key() + QStringLiteral("-again"), member);
            }
            if (!flip)
                return altered;
            QJsonArray values;
            for (const QJsonValue& member : qAsConst(altered))
                values.append(member);
            return values;
        }
        if (value.isArray()) {
            QJsonArray altered;
            for (const QJsonValue& element : value.toArray()) {
                const QJsonValue item = alter(element, depth + 1);
                altered.append(item);
                if (m_mode == QLatin1String("repeatedIds"))
                    altered.append(item);
            }
            if (!flip)
                return altered;
            QJsonObject keyed;
            for (int i = 0; i < altered.size(); ++i)
                keyed.insert(QString::number(i), altered.at(i));
            return keyed;
        }
        if (value.isDouble()) {
            if (flip)
                return QString::number(value.toDouble(), 'g', 17);
            if (m_mode == QLatin1String("hugeNumbers"))
                return next({2147483648.0, 9.3e18, 1e300});
            if (m_mode == QLatin1String("negativeNumbers"))
                return next({-1.0, -2147483649.0, -1e300});
        }
        if (flip && value.isString())
            return double(value.toString().size());
        if (flip && value.isBool())
            return QString::fromLatin1(value.toBool() ? "true" : "false");
        return value;
    }

    double next(const std::initializer_list<double>& cycle)
    {
        return *(cycle.begin() + m_count++ % int(cycle.size()));
    }

    static QString stretched(const QString& name)
    {
        const QString unit = name.isEmpty() ? QStringLiteral("x") : name + QLatin1Char(' ');
        return unit.repeated(longNameSize / unit.size() + 1).left(longNameSize);
    }

    QString m_mode;
    int m_count = 0;
};

QByteArray altered(const QString& mode, const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return body;
    Alteration alteration(mode);
    QJsonValue value = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    const QJsonObject object = value.toObject();
    if (object.contains(QStringLiteral("success"))) {
        // The envelope stays readable: what it carries is what goes wrong.
        QJsonObject envelope = object;
        if (envelope.contains(QStringLiteral("response")))
            envelope.insert(QStringLiteral("response"), alteration.outermost(envelope.value(QStringLiteral("response"))));
        value = envelope;
    } else {
        value = alteration.outermost(value);
    }
    const QJsonDocument result = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    return result.toJson(QJsonDocument::Compact);
}

} // namespace

const QStringList& HostileAnswer::modes()
{
    static const QStringList list{"invalidJson",  "emptyBody",         "deepNesting", "hugeBody",
                                  "redirectLoop", "closeAfterHeaders", "wrongTypes",  "missingKeys",
                                  "hugeNumbers",  "negativeNumbers",   "repeatedIds", "longNames"};
    return list;
}

void HostileAnswer::apply(const QString& mode, const Request& request, Response& response)
{
    if (response.stream || !modes().contains(mode))
        return;
    if (mode == QLatin1String("invalidJson")) {
        response.body.chop(1);
    } else if (mode == QLatin1String("emptyBody")) {
        response = Response::json(QByteArray());
    } else if (mode == QLatin1String("deepNesting")) {
        response = Response::json(QByteArray(nestingLevels, '[') + QByteArray(nestingLevels, ']'));
    } else if (mode == QLatin1String("hugeBody")) {
        response.body += QByteArray(paddingSize, ' ');
    } else if (mode == QLatin1String("redirectLoop")) {
        const QByteArray host = request.header("Host");
        response = Response::json(QByteArray(), 302);
        response.headers.append({"Location", "http://" + host + request.target});
    } else if (mode == QLatin1String("closeAfterHeaders")) {
        response.headers.append({"Content-Length", QByteArray::number(qMax(1, response.body.size()))});
        response.body.clear();
        response.stream = [](QTcpSocket* socket) { socket->disconnectFromHost(); };
    } else if (response.contentType == "application/json") {
        response.body = altered(mode, response.body);
    }
}

} // namespace Camsim
