#include "portal/PortalAutofillProfile.h"

#include "portal/PortalAutofillSafety.h"

#include <QRandomGenerator>
#include <QStringList>
#include <array>

using namespace Qt::StringLiterals;

namespace {

bool isKnownGender(const QString& gender)
{
    return gender == u"male"_s || gender == u"female"_s || gender == u"other"_s;
}

const QString& orElse(const QString& own, const QString& fallback)
{
    return own.isEmpty() ? fallback : own;
}

} // namespace

PortalAutofillProfile PortalAutofillProfile::normalized() const
{
    return {
        fullName.trimmed(),   firstName.trimmed(), lastName.trimmed(),  emailAddress.trimmed(),
        phoneNumber.trimmed(), postalCode.trimmed(), company.trimmed(), birthYear.trimmed(),
        birthMonth.trimmed(), birthDay.trimmed(),   gender.trimmed().toLower(),
    };
}

bool PortalAutofillProfile::canAutoSubmitSimplePortal() const
{
    const PortalAutofillProfile p = normalized();
    return !p.fullName.isEmpty() && PortalAutofillSafety::isLikelyEmail(p.emailAddress) && !p.postalCode.isEmpty() &&
           PortalAutofillSafety::isLikelyBirthYear(p.birthYear);
}

bool PortalAutofillProfile::canFillIdentityFields() const
{
    const PortalAutofillProfile p = normalized();
    return !p.fullName.isEmpty() || !p.emailAddress.isEmpty() || !p.phoneNumber.isEmpty() || !p.postalCode.isEmpty() ||
           !p.birthYear.isEmpty();
}

PortalAutofillProfile PortalAutofillProfile::generatedIfNeeded() const
{
    return generatedIfNeeded(generatedDefault());
}

PortalAutofillProfile PortalAutofillProfile::generatedIfNeeded(const PortalAutofillProfile& generated) const
{
    const PortalAutofillProfile p = normalized();
    const PortalAutofillProfile& g = generated;
    PortalAutofillProfile result;
    result.fullName = orElse(p.fullName, g.fullName);
    const SplitName split = splitName(result.fullName);
    result.firstName = orElse(p.firstName, split.given);
    result.lastName = orElse(p.lastName, split.family);
    result.emailAddress = PortalAutofillSafety::isLikelyEmail(p.emailAddress) ? p.emailAddress : g.emailAddress;
    result.phoneNumber = orElse(p.phoneNumber, g.phoneNumber);
    result.postalCode = orElse(p.postalCode, g.postalCode);
    result.company = orElse(p.company, g.company);
    result.birthYear = PortalAutofillSafety::isLikelyBirthYear(p.birthYear) ? p.birthYear : g.birthYear;
    result.birthMonth = PortalAutofillSafety::isLikelyMonth(p.birthMonth) ? p.birthMonth : g.birthMonth;
    result.birthDay = PortalAutofillSafety::isLikelyDay(p.birthDay) ? p.birthDay : g.birthDay;
    result.gender = isKnownGender(p.gender) ? p.gender : g.gender;
    return result;
}

PortalAutofillProfile PortalAutofillProfile::generatedDefault()
{
    return generatedDefault(*QRandomGenerator::system());
}

PortalAutofillProfile PortalAutofillProfile::generatedDefault(QRandomGenerator& random)
{
    static const std::array<QString, 4> names = {u"Cafe Visitor"_s, u"Public Guest"_s, u"WiFi Guest"_s,
                                                 u"Internet Visitor"_s};
    PortalAutofillProfile profile;
    profile.fullName = names[random.bounded(int(names.size()))];
    const SplitName split = splitName(profile.fullName);
    profile.firstName = split.given;
    profile.lastName = split.family;
    // example.com is reserved for examples, so a generated address never reaches a real mailbox.
    profile.emailAddress = u"guest%1@example.com"_s.arg(random.bounded(10000, 100000));
    profile.phoneNumber = u"090%1"_s.arg(random.bounded(1000000, 10000000));
    profile.postalCode = u"10001"_s;
    profile.company = u"Guest"_s;
    profile.birthYear = QString::number(random.bounded(1992, 2005));
    profile.birthMonth = u"01"_s;
    profile.birthDay = u"01"_s;
    profile.gender = u"female"_s;
    return profile;
}

PortalAutofillProfile::SplitName PortalAutofillProfile::splitName(const QString& name)
{
    const QStringList pieces = name.split(u' ', Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return {u"Cafe"_s, u"Visitor"_s};
    const QString family = pieces.mid(1).join(u' ');
    return {pieces.first(), family.isEmpty() ? u"Visitor"_s : family};
}
