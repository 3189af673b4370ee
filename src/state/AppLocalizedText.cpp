#include "state/AppLocalizedText.h"

#include "state/AppResourceLocalization.h"
#include "state/VietnameseText.h"

#include <QMutex>
#include <algorithm>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString languageCode(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return u"en"_s;
    const QString code = QLocale::languageToCode(language);
    return code.isEmpty() ? u"en"_s : code;
}

QString toQString(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

struct Misses {
    QMutex mutex;
    QSet<QString> keys;
};

Misses& vietnameseMisses()
{
    static Misses misses;
    return misses;
}

void noteMiss(const QString& key)
{
    if (std::none_of(key.cbegin(), key.cend(), [](QChar c) { return c.isLetter(); }))
        return;
    Misses& misses = vietnameseMisses();
    const QMutexLocker locker(&misses.mutex);
    misses.keys.insert(key);
}

} // namespace

QString AppLocalizedText::localized(const QString& key, const QLocale& locale)
{
    const QString code = languageCode(locale);
    if (code == u"en"_s)
        return key;
    if (code == u"vi"_s) {
        const auto& table = vietnamese();
        if (const auto found = table.constFind(key); found != table.constEnd())
            return found.value();
    }
    AppResourceLocalization& resources = AppResourceLocalization::shared();
    const QString text = resources.localized(code, key).value_or(key);
    if (code == u"vi"_s && text == key && !resources.catalogueHolds(code, key))
        noteMiss(key);
    return text;
}

const QHash<QString, QString>& AppLocalizedText::vietnamese()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> built;
        built.reserve(qsizetype(std::size(VietnameseText::pairs)));
        for (const auto& [english, vietnamese] : VietnameseText::pairs)
            built.insert(toQString(english), toQString(vietnamese));
        return built;
    }();
    return table;
}

QStringList AppLocalizedText::vietnameseKeys()
{
    QStringList keys;
    keys.reserve(qsizetype(std::size(VietnameseText::pairs)));
    for (const auto& pair : VietnameseText::pairs)
        keys.append(toQString(pair.english));
    return keys;
}

QStringList AppLocalizedText::takeUntranslatedVietnamese()
{
    Misses& misses = vietnameseMisses();
    const QMutexLocker locker(&misses.mutex);
    QStringList keys(misses.keys.cbegin(), misses.keys.cend());
    misses.keys.clear();
    keys.sort();
    return keys;
}
