#pragma once

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

// A window text written in English, shown in the language of its locale. The English text is the key.
struct AppLocalizedText {
    QString key;
    QLocale locale;

    QString text() const { return localized(key, locale); }

    // English returns the key as written; Vietnamese comes from the built-in table; any other language
    // (or a Vietnamese text the table lacks) from the installed translations, falling back to the key.
    static QString localized(const QString& key, const QLocale& locale);

    // The built-in Vietnamese table, built on first use and kept for the life of the process.
    static const QHash<QString, QString>& vietnamese();
    // Its English keys in stored order.
    static QStringList vietnameseKeys();
    // The keys looked up in Vietnamese since the last call that had no Vietnamese text anywhere, sorted:
    // what a Vietnamese user saw in English.
    static QStringList takeUntranslatedVietnamese();

    bool operator==(const AppLocalizedText&) const = default;
};
