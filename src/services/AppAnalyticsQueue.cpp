#include "services/AppAnalyticsQueue.h"

#include <QJsonArray>
#include <cmath>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QJsonObject encodeEntry(const QueuedAppAnalyticsEvent& entry)
{
    QJsonObject parameters;
    for (auto it = entry.event.parameters.cbegin(); it != entry.event.parameters.cend(); ++it)
        parameters.insert(it.key(), it.value());
    QJsonObject event{{u"name"_s, rawValue(entry.event.name)},
                      {u"parameters"_s, parameters},
                      {u"timestampMicros"_s, entry.event.timestampMicros}};
    return QJsonObject{{u"event"_s, event}, {u"queuedAtMicros"_s, entry.queuedAtMicros}};
}

// JSON numbers are doubles; an integer field must be one exactly.
std::optional<qint64> integer(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) > 9007199254740992.0)
        return std::nullopt;
    return qint64(number);
}

} // namespace

QByteArray AppAnalyticsQueueFormat::encode(const QList<QueuedAppAnalyticsEvent>& queue)
{
    QJsonArray array;
    for (const auto& entry : queue)
        array.append(encodeEntry(entry));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::variant<QList<QueuedAppAnalyticsEvent>, QString> AppAnalyticsQueueFormat::decode(const QByteArray& blob)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(blob, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return parseError.errorString();
    if (!document.isArray())
        return u"the queue is not an array"_s;
    QList<QueuedAppAnalyticsEvent> queue;
    const QJsonArray array = document.array();
    for (qsizetype index = 0; index < array.size(); ++index) {
        const QString where = u"entry "_s + QString::number(index) + u": "_s;
        const QJsonObject entry = array.at(index).toObject();
        const QJsonObject event = entry.value(u"event"_s).toObject();
        const QJsonValue nameValue = event.value(u"name"_s);
        const auto name = appAnalyticsEventName(nameValue.toString());
        if (!nameValue.isString() || !name)
            return where + u"unknown event name"_s;
        const auto timestamp = integer(event.value(u"timestampMicros"_s));
        const auto queuedAt = integer(entry.value(u"queuedAtMicros"_s));
        if (!timestamp || !queuedAt)
            return where + u"missing or non-integer time"_s;
        const QJsonValue parametersValue = event.value(u"parameters"_s);
        if (!parametersValue.isObject())
            return where + u"parameters are not an object"_s;
        QMap<QString, QString> parameters;
        const QJsonObject parameterObject = parametersValue.toObject();
        for (auto it = parameterObject.begin(); it != parameterObject.end(); ++it) {
            if (!it.value().isString())
                return where + u"parameter is not a string"_s;
            parameters.insert(it.key(), it.value().toString());
        }
        queue.append({AppAnalyticsEvent{*name, std::move(parameters), *timestamp}, *queuedAt});
    }
    return queue;
}
