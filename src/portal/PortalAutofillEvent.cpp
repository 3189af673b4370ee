#include "portal/PortalAutofillEvent.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// JSON numbers arrive as doubles; a count must be a whole number that fits.
std::optional<qint64> wholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9007199254740992.0)
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace

QString PortalAutofillEvent::outcomeName() const
{
    if (submitted)
        return QStringLiteral("submitted");
    if (blocked)
        return QStringLiteral("blocked");
    if (filledFields > 0 || checkedBoxes > 0)
        return QStringLiteral("filled");
    return QStringLiteral("no_match");
}

PortalAutofillEvent PortalAutofillEvent::unsupportedPortal()
{
    PortalAutofillEvent event;
    event.didRun = true;
    event.blocked = true;
    event.reason = u"Needs user action: unsupported portal"_s;
    return event;
}

std::optional<PortalAutofillEvent> PortalAutofillEvent::fromJSON(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    const QJsonValue didRun = object.value("didRun"_L1);
    const QJsonValue blocked = object.value("blocked"_L1);
    const QJsonValue reason = object.value("reason"_L1);
    const QJsonValue submitted = object.value("submitted"_L1);
    const QJsonValue categories = object.value("fieldCategories"_L1);
    const auto filled = wholeNumber(object.value("filledFields"_L1));
    const auto checked = wholeNumber(object.value("checkedBoxes"_L1));
    if (!didRun.isBool() || !blocked.isBool() || !submitted.isBool() || !categories.isArray() || !filled || !checked)
        return std::nullopt;
    if (!reason.isUndefined() && !reason.isNull() && !reason.isString())
        return std::nullopt;

    PortalAutofillEvent event;
    event.didRun = didRun.toBool();
    event.blocked = blocked.toBool();
    if (reason.isString())
        event.reason = reason.toString();
    event.filledFields = *filled;
    event.checkedBoxes = *checked;
    event.submitted = submitted.toBool();
    for (const QJsonValue& category : categories.toArray()) {
        if (!category.isString())
            return std::nullopt;
        event.fieldCategories.append(category.toString());
    }
    return event;
}

QByteArray PortalAutofillEvent::toJSON() const
{
    QJsonObject object{
        {"didRun"_L1, didRun},
        {"blocked"_L1, blocked},
        {"reason"_L1, reason ? QJsonValue(*reason) : QJsonValue(QJsonValue::Null)},
        {"filledFields"_L1, filledFields},
        {"checkedBoxes"_L1, checkedBoxes},
        {"submitted"_L1, submitted},
        {"fieldCategories"_L1, QJsonArray::fromStringList(fieldCategories)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
