#include "state/AppLocalizedText.h"

#include "state/AppResourceLocalization.h"
#include "state/VietnameseText.h"

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
    return AppResourceLocalization::shared().localized(code, key).value_or(key);
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
