#include "portal/PortalAutofillProfileJSON.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

using Field = QString PortalAutofillProfile::*;

const std::array<std::pair<QLatin1StringView, Field>, 11>& fields()
{
    static const std::array<std::pair<QLatin1StringView, Field>, 11> all = {{
        {"fullName"_L1, &PortalAutofillProfile::fullName},
        {"firstName"_L1, &PortalAutofillProfile::firstName},
        {"lastName"_L1, &PortalAutofillProfile::lastName},
        {"emailAddress"_L1, &PortalAutofillProfile::emailAddress},
        {"phoneNumber"_L1, &PortalAutofillProfile::phoneNumber},
        {"postalCode"_L1, &PortalAutofillProfile::postalCode},
        {"company"_L1, &PortalAutofillProfile::company},
        {"birthYear"_L1, &PortalAutofillProfile::birthYear},
        {"birthMonth"_L1, &PortalAutofillProfile::birthMonth},
        {"birthDay"_L1, &PortalAutofillProfile::birthDay},
        {"gender"_L1, &PortalAutofillProfile::gender},
    }};
    return all;
}

} // namespace

namespace PortalAutofillProfileJSON {

QByteArray encode(const PortalAutofillProfile& profile)
{
    QJsonObject object;
    for (const auto& [key, field] : fields())
        object.insert(key, profile.*field);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

PortalAutofillProfileDecoding decode(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return PortalAutofillProfileDecoding::notJSON();
    if (!document.isObject())
        return PortalAutofillProfileDecoding::notAnObject();
    const QJsonObject object = document.object();
    PortalAutofillProfile profile;
    for (const auto& [key, field] : fields()) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            continue;
        if (!value.isString())
            return PortalAutofillProfileDecoding::wrongFieldType(QString(key));
        profile.*field = value.toString();
    }
    return PortalAutofillProfileDecoding::decoded(std::move(profile));
}

} // namespace PortalAutofillProfileJSON
