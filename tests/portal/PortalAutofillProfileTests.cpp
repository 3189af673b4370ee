#include "portal/PortalAutofillProfile.h"
#include "portal/PortalAutofillProfileJSON.h"
#include "portal/PortalAutofillSafety.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PortalAutofillProfile complete()
{
    return {u"An Nguyen"_s, u"An"_s, u"Nguyen"_s, u"an@example.org"_s, u"0901234567"_s, u"70000"_s, u"Tolvek"_s,
            u"1990"_s, u"7"_s, u"15"_s, u"male"_s};
}

// The checks that decide whether a stored value may be typed into a portal's field.
TEST(PortalAutofillSafety, ValuesArePlausibleOnlyWhenWholeAndInRange)
{
    using namespace PortalAutofillSafety;
    const auto birthYear = [](const QString& text) { return isLikelyBirthYear(text); };
    const QString thisYear = QString::number(QDate::currentDate().year());
    const QString nextYear = QString::number(QDate::currentDate().year() + 1);
    const struct {
        std::function<bool(const QString&)> check;
        QString text;
        bool plausible;
    } cases[] = {
        {isLikelyEmail, u"guest@example.com"_s, true},   {isLikelyEmail, u"guest@.com"_s, true},
        {isLikelyEmail, u"@example.com"_s, false},       {isLikelyEmail, u"guest@localhost"_s, false},
        {isLikelyEmail, u"a@b@example.com"_s, false},    {isLikelyEmail, u"guest @example.com"_s, false},
        {isLikelyEmail, u"guest@example.com "_s, false}, {isLikelyEmail, QString(), false},
        {birthYear, u"1900"_s, true},                    {birthYear, thisYear, true},
        {birthYear, nextYear, false},                    {birthYear, u"1899"_s, false},
        {birthYear, u"+999"_s, false},                   {birthYear, u"99"_s, false},
        {birthYear, u" 1999"_s, false},                  {birthYear, u"19a9"_s, false},
        {birthYear, u"１９９９"_s, false}, // full-width digits are not decimal text
        {isLikelyMonth, u"01"_s, true},                  {isLikelyMonth, u"12"_s, true},
        {isLikelyMonth, u"+3"_s, true},                  {isLikelyMonth, u"0"_s, false},
        {isLikelyMonth, u"13"_s, false},                 {isLikelyMonth, QString(), false},
        {isLikelyMonth, u"-"_s, false},                  {isLikelyMonth, u"99999999999999999999999"_s, false},
        {isLikelyDay, u"31"_s, true},                    {isLikelyDay, u"32"_s, false},
        {isLikelyDay, u"1.5"_s, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.check(c.text), c.plausible) << c.text.toStdString();
    EXPECT_TRUE(isLikelyBirthYear(u"2030"_s, 2030));
}

TEST(PortalAutofillSafety, BlockerTermsAreLowerCasePrecomposedAndUnique)
{
    const QStringList& terms = PortalAutofillSafety::blockerTerms();
    EXPECT_LT(terms.indexOf(u"member"_s), terms.indexOf(u"membership"_s));
    EXPECT_EQ(QSet<QString>(terms.cbegin(), terms.cend()).size(), terms.size());
    for (const QString& term : terms) {
        EXPECT_EQ(term, term.toLower());
        EXPECT_EQ(term, term.normalized(QString::NormalizationForm_C)) << term.toStdString();
    }
    EXPECT_TRUE(terms.contains(u"thẻ tín dụng"_s));
}

TEST(PortalAutofillProfile, NormalizedTrimsEveryFieldAndLowerCasesGender)
{
    const PortalAutofillProfile raw{u" An Nguyen\n"_s, u"\tAn"_s, u"Nguyen "_s, u" an@example.org"_s, u"090 "_s,
                                    u" 70000"_s, u" Tolvek "_s, u"1990\n"_s, u" 7"_s, u"15 "_s, u" FEMALE "_s};
    const PortalAutofillProfile expected{u"An Nguyen"_s, u"An"_s, u"Nguyen"_s, u"an@example.org"_s, u"090"_s,
                                         u"70000"_s, u"Tolvek"_s, u"1990"_s, u"7"_s, u"15"_s, u"female"_s};
    EXPECT_EQ(raw.normalized(), expected);
    EXPECT_EQ(PortalAutofillProfile::empty().normalized(), PortalAutofillProfile::empty());
}

TEST(PortalAutofillProfile, AutoSubmitNeedsNameEmailPostalCodeAndFourDigitYear)
{
    EXPECT_TRUE(complete().canAutoSubmitSimplePortal());
    PortalAutofillProfile padded = complete();
    padded.birthYear = u" 1990 "_s; // tested on the normalized copy
    EXPECT_TRUE(padded.canAutoSubmitSimplePortal());
    for (auto field : {&PortalAutofillProfile::fullName, &PortalAutofillProfile::emailAddress,
                       &PortalAutofillProfile::postalCode, &PortalAutofillProfile::birthYear}) {
        PortalAutofillProfile missing = complete();
        missing.*field = u"  "_s;
        EXPECT_FALSE(missing.canAutoSubmitSimplePortal());
    }
    PortalAutofillProfile shortYear = complete();
    shortYear.birthYear = u"90"_s;
    EXPECT_FALSE(shortYear.canAutoSubmitSimplePortal());
}

TEST(PortalAutofillProfile, IdentityFieldsAreNameEmailPhonePostalCodeOrYear)
{
    PortalAutofillProfile phoneOnly;
    phoneOnly.phoneNumber = u"0901234567"_s;
    EXPECT_TRUE(phoneOnly.canFillIdentityFields());
    PortalAutofillProfile noIdentity;
    noIdentity.firstName = u"An"_s;
    noIdentity.lastName = u"Nguyen"_s;
    noIdentity.company = u"Tolvek"_s;
    noIdentity.gender = u"male"_s;
    noIdentity.fullName = u" \n"_s;
    EXPECT_FALSE(noIdentity.canFillIdentityFields());
}

TEST(PortalAutofillProfile, SplitNameFillsMissingPartsWithVisitor)
{
    using Split = PortalAutofillProfile::SplitName;
    EXPECT_EQ(PortalAutofillProfile::splitName(u"Internet Visitor"_s), (Split{u"Internet"_s, u"Visitor"_s}));
    EXPECT_EQ(PortalAutofillProfile::splitName(u"Linh"_s), (Split{u"Linh"_s, u"Visitor"_s}));
    EXPECT_EQ(PortalAutofillProfile::splitName(u"Tran  Thi   Mai"_s), (Split{u"Tran"_s, u"Thi Mai"_s}));
    EXPECT_EQ(PortalAutofillProfile::splitName(u"   "_s), (Split{u"Cafe"_s, u"Visitor"_s}));
}

TEST(PortalAutofillProfile, GeneratedIfNeededKeepsUsableValuesAndFillsTheRest)
{
    const PortalAutofillProfile generated{u"Public Guest"_s, u"Public"_s, u"Guest"_s, u"guest12345@example.com"_s,
                                          u"0901111111"_s, u"10001"_s, u"Guest"_s, u"1995"_s, u"01"_s, u"01"_s,
                                          u"female"_s};
    EXPECT_EQ(complete().generatedIfNeeded(generated), complete());
    EXPECT_EQ(PortalAutofillProfile::empty().generatedIfNeeded(generated), generated);

    PortalAutofillProfile partial;
    partial.fullName = u" Linh "_s;
    partial.emailAddress = u"linh@localhost"_s;
    partial.birthYear = u"85"_s;
    partial.birthMonth = u"13"_s;
    partial.birthDay = u"31"_s;
    partial.gender = u"FEMALE "_s;
    partial.company = u"Tolvek"_s;
    const PortalAutofillProfile used = partial.generatedIfNeeded(generated);
    EXPECT_EQ(used, (PortalAutofillProfile{u"Linh"_s, u"Linh"_s, u"Visitor"_s, u"guest12345@example.com"_s,
                                           u"0901111111"_s, u"10001"_s, u"Tolvek"_s, u"1995"_s, u"01"_s, u"31"_s,
                                           u"female"_s}));

    PortalAutofillProfile ownLastName;
    ownLastName.lastName = u"Tran"_s;
    ownLastName.gender = u"divers"_s;
    const PortalAutofillProfile mixed = ownLastName.generatedIfNeeded(generated);
    EXPECT_EQ(mixed.firstName, u"Public"_s);
    EXPECT_EQ(mixed.lastName, u"Tran"_s);
    EXPECT_EQ(mixed.gender, u"female"_s);
}

TEST(PortalAutofillProfile, GeneratedDefaultLooksLikeAnOrdinaryGuest)
{
    QRandomGenerator random(7);
    const QRegularExpression email(u"^guest[1-9][0-9]{4}@example\\.com$"_s);
    const QRegularExpression phone(u"^090[1-9][0-9]{6}$"_s);
    QSet<QString> names;
    for (int draw = 0; draw < 200; ++draw) {
        const PortalAutofillProfile g = PortalAutofillProfile::generatedDefault(random);
        names.insert(g.fullName);
        EXPECT_EQ(g.firstName + u' ' + g.lastName, g.fullName);
        EXPECT_TRUE(email.match(g.emailAddress).hasMatch()) << g.emailAddress.toStdString();
        EXPECT_TRUE(phone.match(g.phoneNumber).hasMatch()) << g.phoneNumber.toStdString();
        EXPECT_TRUE(PortalAutofillSafety::isLikelyBirthYear(g.birthYear)) << g.birthYear.toStdString();
        EXPECT_TRUE(g.canAutoSubmitSimplePortal());
    }
    EXPECT_GT(names.size(), 1) << "the name varies between draws";
    // Gaps are filled afresh on every use (a repeat of e-mail and phone together is a 1-in-10^11 chance).
    const PortalAutofillProfile first = PortalAutofillProfile::empty().generatedIfNeeded();
    const PortalAutofillProfile second = PortalAutofillProfile::empty().generatedIfNeeded();
    EXPECT_NE(first.emailAddress + first.phoneNumber, second.emailAddress + second.phoneNumber);
}

TEST(PortalAutofillProfileJSON, EncodesAllElevenKeysAndReadsThemBack)
{
    PortalAutofillProfile withEmpty = complete();
    withEmpty.company.clear();
    const QByteArray bytes = PortalAutofillProfileJSON::encode(withEmpty);
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(object.keys().size(), 11);
    EXPECT_EQ(object.value(u"emailAddress"_s).toString(), u"an@example.org"_s);
    EXPECT_EQ(object.value(u"company"_s), QJsonValue(u""_s));
    EXPECT_EQ(PortalAutofillProfileJSON::decode(bytes), PortalAutofillProfileDecoding::decoded(withEmpty));
}

TEST(PortalAutofillProfileJSON, MissingOrNullKeysAreEmptyAndOtherTypesMakeItUnreadable)
{
    const auto decoded = PortalAutofillProfileJSON::decode(
        R"({"fullName":" An Nguyen ","emailAddress":"an@example.org","birthYear":"1990","phoneNumber":null,"extra":1})");
    ASSERT_EQ(decoded.kind, PortalAutofillProfileDecoding::Kind::Decoded);
    EXPECT_EQ(decoded.profile.fullName, u" An Nguyen "_s); // as stored, not normalized
    EXPECT_EQ(decoded.profile.company, QString());
    EXPECT_EQ(decoded.profile.gender, QString());
    EXPECT_EQ(decoded.profile.phoneNumber, QString());

    EXPECT_EQ(PortalAutofillProfileJSON::decode(R"({"fullName":"An","birthYear":1990})"),
              PortalAutofillProfileDecoding::wrongFieldType(u"birthYear"_s));
    EXPECT_EQ(PortalAutofillProfileJSON::decode(R"(["An"])"), PortalAutofillProfileDecoding::notAnObject());
    EXPECT_EQ(PortalAutofillProfileJSON::decode("{\"fullName\":"), PortalAutofillProfileDecoding::notJSON());
    EXPECT_EQ(PortalAutofillProfileJSON::decode(QByteArray()), PortalAutofillProfileDecoding::notJSON());
}

} // namespace
