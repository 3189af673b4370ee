#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTranslator;

// Translations installed beside the application for languages without a built-in table: a directory
// named after the language code (e.g. "fr") under one of the search roots, holding "brewbeacon.qm".
// No such directory means no translation, so the caller shows the English key.
class AppResourceLocalization {
public:
    explicit AppResourceLocalization(QStringList searchRoots);
    ~AppResourceLocalization();

    // Roots: the application's resources, <app dir>/../share/brewbeacon/translations and the XDG data dirs.
    static AppResourceLocalization& shared();

    // The translation of `key` for `languageCode`, or none when no translation directory for the code
    // exists. A directory without the key yields the key itself.
    std::optional<QString> localized(const QString& languageCode, const QString& key);

private:
    const QTranslator* translatorFor(const QString& languageCode);

    const QStringList m_searchRoots;
    QMutex m_mutex;
    // Looked-up codes, including those without a directory (a null translator), so each is searched once.
    QHash<QString, std::shared_ptr<QTranslator>> m_translators;
};
