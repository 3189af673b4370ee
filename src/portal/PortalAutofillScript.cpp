#include "portal/PortalAutofillScript.h"

#include "portal/PortalAutofillSafety.h"
#include "portal/PortalAutofillProfile.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

// The compact JSON text of a one-element array, minus its brackets, is the element's literal.
QString jsonLiteral(const QString& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    if (array.size() < 2 || !array.startsWith('[') || !array.endsWith(']'))
        return u"\"\""_s;
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonArray(const QStringList& values)
{
    const QByteArray array = QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact);
    return array.isEmpty() ? u"[]"_s : QString::fromUtf8(array);
}

} // namespace

QString PortalAutofillScript::preferredGender(const PortalAutofillProfile& normalizedProfile)
{
    if (!normalizedProfile.gender.isEmpty())
        return normalizedProfile.gender;
    bool parsed = false;
    const qlonglong year = normalizedProfile.birthYear.toLongLong(&parsed, 10);
    return parsed && year % 2 == 0 ? u"female"_s : u"male"_s;
}

QString PortalAutofillScript::make(const PortalAutofillProfile& profile, bool autoSubmit)
{
    return make(profile, autoSubmit, Context{});
}

QString PortalAutofillScript::make(const PortalAutofillProfile& profile, bool autoSubmit, const Context& context)
{
    const PortalAutofillProfile normalized = profile.normalized();
    const bool effectiveAutoSubmit = autoSubmit && normalized.canAutoSubmitSimplePortal();
    const QString body = bodyUtf8().toString();

    const std::pair<QLatin1StringView, const QString*> fields[] = {
        {"fullName"_L1, &normalized.fullName},     {"firstName"_L1, &normalized.firstName},
        {"lastName"_L1, &normalized.lastName},     {"emailAddress"_L1, &normalized.emailAddress},
        {"phoneNumber"_L1, &normalized.phoneNumber}, {"postalCode"_L1, &normalized.postalCode},
        {"company"_L1, &normalized.company},       {"birthYear"_L1, &normalized.birthYear},
        {"birthMonth"_L1, &normalized.birthMonth}, {"birthDay"_L1, &normalized.birthDay},
        {"gender"_L1, &normalized.gender},
    };

    QString script;
    script.reserve(body.size() + 4096);
    script += "(() => {\nconst profile = {\n"_L1;
    for (const auto& [key, value] : fields) {
        script += "    "_L1 + key + ": "_L1 + jsonLiteral(*value) + ",\n"_L1;
    }
    script += "};\nconst preferredGender = "_L1 + jsonLiteral(preferredGender(normalized)) + ";\n"_L1;
    script += "const autoSubmit = "_L1 + (effectiveAutoSubmit ? "true"_L1 : "false"_L1) + ";\n"_L1;
    script += "const blockerTerms = "_L1 + jsonArray(PortalAutofillSafety::blockerTerms()) + ";\n"_L1;
    script += "const pressedSteps = "_L1 + jsonArray(context.pressedSteps) + ";\n"_L1;
    script += "const portalHosts = "_L1 + (context.portalHosts.isEmpty() ? u"null"_s : jsonArray(context.portalHosts)) +
              ";\n"_L1;
    script += body;
    script += "\n})()"_L1;
    return script;
}
