#pragma once

#include <QMetaType>
#include <QString>

class QRandomGenerator;

// The visitor details typed into simple portal forms. Fields are empty when unset; whatever is missing
// or implausible is replaced by generated guest details at the moment of use (`generatedIfNeeded`).
struct PortalAutofillProfile {
    QString fullName;
    QString firstName;
    QString lastName;
    QString emailAddress;
    QString phoneNumber;
    QString postalCode;
    QString company;
    QString birthYear;
    QString birthMonth;
    QString birthDay;
    QString gender; // "male", "female" or "other"; any letter case on input

    static PortalAutofillProfile empty() { return {}; }

    // Every field trimmed of white space and line breaks; the gender also lower-cased.
    PortalAutofillProfile normalized() const;

    // Name, a plausible e-mail, postal code and a plausible birth year: enough to submit a simple form.
    bool canAutoSubmitSimplePortal() const;
    // At least one of name, e-mail, phone, postal code or birth year.
    bool canFillIdentityFields() const;

    // The user's normalized values where usable, the rest from a freshly generated guest profile.
    PortalAutofillProfile generatedIfNeeded() const;
    // Same, with the generated profile supplied.
    PortalAutofillProfile generatedIfNeeded(const PortalAutofillProfile& generated) const;

    // A fresh, ordinary-looking guest profile, drawn from the system's secure random source unless
    // another generator is given.
    static PortalAutofillProfile generatedDefault();
    static PortalAutofillProfile generatedDefault(QRandomGenerator& random);

    struct SplitName {
        QString given;
        QString family;
        bool operator==(const SplitName&) const = default;
    };
    // Given name = first word, family name = the remaining words; "Cafe"/"Visitor" fill what is missing.
    static SplitName splitName(const QString& name);

    bool operator==(const PortalAutofillProfile&) const = default;
};

Q_DECLARE_METATYPE(PortalAutofillProfile)
