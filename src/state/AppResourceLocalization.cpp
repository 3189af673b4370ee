#include "state/AppResourceLocalization.h"

#include "state/VietnameseText.h"

#include <QCoreApplication>
#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

constexpr auto translationFile = "brewbeacon.qm"_L1;
constexpr auto translationContext = "AppLocalizedText";

bool isPlainCode(const QString& code)
{
    // Codes come from locales, but a path must never be built from anything else than letters.
    if (code.isEmpty() || code.size() > 8)
        return false;
    return std::all_of(code.cbegin(), code.cend(), [](QChar c) { return c.isLetter() && c.unicode() < 128; });
}

QString toQString(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

AppResourceLocalization::Catalogue vietnameseCatalogue()
{
    AppResourceLocalization::Catalogue catalogue;
    for (const auto& [english, vietnamese] : VietnameseText::windowPairs)
        catalogue.texts.insert(toQString(english), toQString(vietnamese));
    for (const auto& [english, vietnamese] : VietnameseText::windowTemplates)
        catalogue.templates.append({toQString(english), toQString(vietnamese)});
    return catalogue;
}

// The template's text with the part "%1" stood for carried over, or none when the key does not fit it.
std::optional<QString> fillTemplate(const QString& english, const QString& translated, const QString& key)
{
    const qsizetype slot = english.indexOf("%1"_L1);
    if (slot < 0)
        return std::nullopt;
    const QStringView before = QStringView(english).left(slot);
    const QStringView after = QStringView(english).mid(slot + 2);
    if (key.size() <= before.size() + after.size() || !key.startsWith(before) || !key.endsWith(after))
        return std::nullopt;
    const QString filled = key.mid(before.size(), key.size() - before.size() - after.size());
    QString result = translated;
    return result.replace("%1"_L1, filled);
}

} // namespace

AppResourceLocalization::AppResourceLocalization(QStringList searchRoots, QHash<QString, Catalogue> catalogues)
    : m_searchRoots(std::move(searchRoots)), m_catalogues(std::move(catalogues))
{
}

AppResourceLocalization::~AppResourceLocalization() = default;

AppResourceLocalization& AppResourceLocalization::shared()
{
    static AppResourceLocalization instance([] {
        QStringList roots{u":/translations"_s};
        if (QCoreApplication::instance())
            roots.append(QCoreApplication::applicationDirPath() + u"/../share/brewbeacon/translations"_s);
        for (const QString& dataDir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
            roots.append(dataDir + u"/brewbeacon/translations"_s);
        return roots;
    }(), {{u"vi"_s, vietnameseCatalogue()}});
    return instance;
}

std::optional<QString> AppResourceLocalization::localized(const QString& languageCode, const QString& key)
{
    if (const auto catalogue = m_catalogues.constFind(languageCode); catalogue != m_catalogues.constEnd()) {
        if (const auto found = catalogue->texts.constFind(key); found != catalogue->texts.constEnd())
            return found.value();
        for (const auto& [english, translated] : catalogue->templates) {
            if (auto filled = fillTemplate(english, translated, key))
                return filled;
        }
    }
    QMutexLocker locker(&m_mutex);
    const QTranslator* translator = translatorFor(languageCode);
    if (!translator && m_catalogues.contains(languageCode))
        return key;
    if (!translator)
        return std::nullopt;
    const QString translated = translator->translate(translationContext, key.toUtf8().constData());
    return translated.isEmpty() ? key : translated;
}

const QTranslator* AppResourceLocalization::translatorFor(const QString& languageCode)
{
    if (const auto found = m_translators.constFind(languageCode); found != m_translators.constEnd())
        return found.value().get();
    std::shared_ptr<QTranslator> translator;
    if (isPlainCode(languageCode)) {
        for (const QString& root : m_searchRoots) {
            const QDir directory(root + u'/' + languageCode);
            if (!directory.exists())
                continue;
            auto candidate = std::make_shared<QTranslator>();
            // A directory whose file is missing or broken still counts as present: the key is shown.
            (void)candidate->load(directory.filePath(translationFile));
            translator = std::move(candidate);
            break;
        }
    }
    m_translators.insert(languageCode, translator);
    return translator.get();
}

bool AppResourceLocalization::catalogueHolds(const QString& languageCode, const QString& key) const
{
    const auto catalogue = m_catalogues.constFind(languageCode);
    return catalogue != m_catalogues.constEnd() && catalogue->texts.contains(key);
}
