#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTranslator;

// The application's own translations for texts outside the built-in Vietnamese table. A language has
// one when the application carries a catalogue for it (Vietnamese does, for every text its windows
// show) or when a directory named after the language code (e.g. "fr") under one of the search roots
// holds "brewbeacon.qm". Without either there is no translation, so the caller shows the English key.
class AppResourceLocalization {
public:
    // English text -> translated text; in a template "%1" stands for a name or number kept as written.
    struct Catalogue {
        QHash<QString, QString> texts;
        QList<QPair<QString, QString>> templates;
    };

    explicit AppResourceLocalization(QStringList searchRoots, QHash<QString, Catalogue> catalogues = {});
    ~AppResourceLocalization();

    // The Vietnamese catalogue; roots: the application's resources,
    // <app dir>/../share/brewbeacon/translations and the XDG data dirs.
    static AppResourceLocalization& shared();

    // The translation of `key` for `languageCode`, or none when the language has no translation at
    // all. A language that has one but lacks the key yields the key itself.
    std::optional<QString> localized(const QString& languageCode, const QString& key);

    // Whether the catalogue of `languageCode` holds `key` itself (some texts read the same translated).
    bool catalogueHolds(const QString& languageCode, const QString& key) const;

private:
    const QTranslator* translatorFor(const QString& languageCode);

    const QStringList m_searchRoots;
    const QHash<QString, Catalogue> m_catalogues;
    QMutex m_mutex;
    // Looked-up codes, including those without a directory (a null translator), so each is searched once.
    QHash<QString, std::shared_ptr<QTranslator>> m_translators;
};
