#include "ui/FormValuesViewModel.h"

#include "state/AppState.h"
#include "ui/SettingsNotices.h"
#include "ui/UiSymbols.h"
#include "ui/UiTones.h"
#include "ui/UiText.h"

#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

struct Field {
    QString key;
    QString label;
    QString hint;
    QString PortalAutofillProfile::*member;
};

const QList<Field>& formFields()
{
    static const QList<Field> fields{
        {u"fullName"_s, u"Full Name"_s, u"For visitor, guest, or customer name fields."_s, &PortalAutofillProfile::fullName},
        {u"firstName"_s, u"First Name"_s, u"For first-name fields."_s, &PortalAutofillProfile::firstName},
        {u"lastName"_s, u"Last Name"_s, u"For last-name fields."_s, &PortalAutofillProfile::lastName},
        {u"emailAddress"_s, u"Email"_s, u"For email fields on cafe or guest portals."_s, &PortalAutofillProfile::emailAddress},
        {u"phoneNumber"_s, u"Phone"_s, u"For mobile or phone fields."_s, &PortalAutofillProfile::phoneNumber},
        {u"postalCode"_s, u"Postal Code"_s, u"For ZIP or postal code fields."_s, &PortalAutofillProfile::postalCode},
        {u"company"_s, u"Company"_s, u"For optional business/company fields."_s, &PortalAutofillProfile::company},
        {u"birthYear"_s, u"Birth Year"_s, u"For year or age checks."_s, &PortalAutofillProfile::birthYear},
        {u"birthMonth"_s, u"Birth Month"_s, u"For date-of-birth forms."_s, &PortalAutofillProfile::birthMonth},
        {u"birthDay"_s, u"Birth Day"_s, u"For date-of-birth forms."_s, &PortalAutofillProfile::birthDay},
        {u"gender"_s, u"Gender"_s, u"Use male, female, or other."_s, &PortalAutofillProfile::gender},
    };
    return fields;
}

QString missingDetailsMessage() { return u"Enter a name, email, postal code, and 4-digit birth year."_s; }

} // namespace

FormValuesViewModel::FormValuesViewModel(AppState& state, QLocale locale, QObject* parent)
    : QObject(parent), m_state(state), m_locale(std::move(locale)), m_profile(state.portalAutofillProfile())
{
    // The stored profile arrives from the keyring after start-up; take it while nothing was edited.
    QObject::connect(&m_state, &AppState::portalAutofillProfileChanged, this, [this] {
        if (m_profile == PortalAutofillProfile::empty())
            reload();
    });
}

QVariantList FormValuesViewModel::fields() const
{
    QVariantList rows;
    for (const Field& field : formFields())
        rows.append(QVariantMap{{u"key"_s, field.key},
                                {u"label"_s, uiText(field.label, m_locale)},
                                {u"hint"_s, uiText(field.hint, m_locale)},
                                {u"value"_s, m_profile.*field.member}});
    return rows;
}

bool FormValuesViewModel::hasNotice() const { return SettingsNotices::formValues(m_profile, m_locale).has_value(); }

QString FormValuesViewModel::noticeTitle() const
{
    const auto notice = SettingsNotices::formValues(m_profile, m_locale);
    return notice ? notice->title : QString();
}

QString FormValuesViewModel::noticeDetail() const
{
    const auto notice = SettingsNotices::formValues(m_profile, m_locale);
    return notice ? notice->detail : QString();
}

QString FormValuesViewModel::noticeIcon() const
{
    const auto notice = SettingsNotices::formValues(m_profile, m_locale);
    return notice ? u"qrc"_s + UiSymbols::iconPath(notice->systemImage) : QString();
}

QString FormValuesViewModel::noticeColor() const
{
    const auto notice = SettingsNotices::formValues(m_profile, m_locale);
    return notice ? UiTones::color(notice->tone) : QString();
}

void FormValuesViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    Q_EMIT changed();
}

void FormValuesViewModel::setField(const QString& key, const QString& value)
{
    for (const Field& field : formFields()) {
        if (field.key == key && m_profile.*field.member != value) {
            m_profile.*field.member = value;
            Q_EMIT changed();
        }
    }
}

void FormValuesViewModel::save()
{
    m_profile = m_profile.normalized();
    if (m_profile.canAutoSubmitSimplePortal()) {
        m_state.savePortalAutofillProfile(m_profile);
        m_statusMessage.clear();
    } else {
        m_statusMessage = uiText(missingDetailsMessage(), m_locale);
    }
    Q_EMIT changed();
}

void FormValuesViewModel::useNewDefault()
{
    m_profile = PortalAutofillProfile::generatedDefault();
    save();
}

void FormValuesViewModel::reload()
{
    m_profile = m_state.portalAutofillProfile();
    m_statusMessage.clear();
    Q_EMIT changed();
}
