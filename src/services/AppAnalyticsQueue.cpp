#include "services/AppAnalyticsQueue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QJsonObject entryObject(const QueuedAppAnalyticsEvent& entry)
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

// The reasons name no position; decode() puts the entry's number in front.
std::variant<QueuedAppAnalyticsEvent, QString> entryFromObject(const QJsonObject& entry)
{
    const QJsonObject event = entry.value(u"event"_s).toObject();
    const QJsonValue nameValue = event.value(u"name"_s);
    const auto name = appAnalyticsEventName(nameValue.toString());
    if (!nameValue.isString() || !name)
        return u"unknown event name"_s;
    const auto timestamp = integer(event.value(u"timestampMicros"_s));
    const auto queuedAt = integer(entry.value(u"queuedAtMicros"_s));
    if (!timestamp || !queuedAt)
        return u"missing or non-integer time"_s;
    const QJsonValue parametersValue = event.value(u"parameters"_s);
    if (!parametersValue.isObject())
        return u"parameters are not an object"_s;
    QMap<QString, QString> parameters;
    const QJsonObject parameterObject = parametersValue.toObject();
    for (auto it = parameterObject.begin(); it != parameterObject.end(); ++it) {
        if (!it.value().isString())
            return u"parameter is not a string"_s;
        parameters.insert(it.key(), it.value().toString());
    }
    return QueuedAppAnalyticsEvent{AppAnalyticsEvent{*name, std::move(parameters), *timestamp}, *queuedAt};
}

} // namespace

QByteArray AppAnalyticsQueueFormat::encodeEntry(const QueuedAppAnalyticsEvent& entry)
{
    return QJsonDocument(entryObject(entry)).toJson(QJsonDocument::Compact);
}

// What QJsonDocument writes for the array of these objects in compact form.
QByteArray AppAnalyticsQueueFormat::joinEntries(const QList<QByteArray>& encodedEntries)
{
    qsizetype size = 2 + std::max<qsizetype>(0, encodedEntries.size() - 1);
    for (const QByteArray& entry : encodedEntries)
        size += entry.size();
    QByteArray blob;
    blob.reserve(size);
    blob.append('[');
    for (qsizetype i = 0; i < encodedEntries.size(); ++i) {
        if (i > 0)
            blob.append(',');
        blob.append(encodedEntries[i]);
    }
    blob.append(']');
    return blob;
}

QByteArray AppAnalyticsQueueFormat::encode(const QList<QueuedAppAnalyticsEvent>& queue)
{
    QList<QByteArray> entries;
    entries.reserve(queue.size());
    for (const auto& entry : queue)
        entries.append(encodeEntry(entry));
    return joinEntries(entries);
}

std::variant<QueuedAppAnalyticsEvent, QString> AppAnalyticsQueueFormat::decodeEntry(const QByteArray& encodedEntry)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(encodedEntry, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return parseError.errorString();
    if (!document.isObject())
        return u"the entry is not an object"_s;
    return entryFromObject(document.object());
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
        auto entry = entryFromObject(array.at(index).toObject());
        if (const QString* failure = std::get_if<QString>(&entry))
            return u"entry "_s + QString::number(index) + u": "_s + *failure;
        queue.append(std::get<QueuedAppAnalyticsEvent>(std::move(entry)));
    }
    return queue;
}
