#include "state/AppResourceLocalization.h"

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

} // namespace

AppResourceLocalization::AppResourceLocalization(QStringList searchRoots) : m_searchRoots(std::move(searchRoots)) {}

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
    }());
    return instance;
}

std::optional<QString> AppResourceLocalization::localized(const QString& languageCode, const QString& key)
{
    QMutexLocker locker(&m_mutex);
    const QTranslator* translator = translatorFor(languageCode);
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
