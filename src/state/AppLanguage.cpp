#include "state/AppLanguage.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace AppLanguages {

QString rawValue(AppLanguage language)
{
    switch (language) {
    case AppLanguage::system:
        return u"system"_s;
    case AppLanguage::english:
        return u"en"_s;
    case AppLanguage::vietnamese:
        return u"vi"_s;
    }
    return u"system"_s;
}

std::optional<AppLanguage> fromRawValue(const QString& raw)
{
    for (const AppLanguage language : all) {
        if (rawValue(language) == raw)
            return language;
    }
    return std::nullopt;
}

QLocale locale(AppLanguage language, const QLocale& systemLocale)
{
    switch (language) {
    case AppLanguage::english:
        return QLocale(u"en"_s);
    case AppLanguage::vietnamese:
        return QLocale(u"vi"_s);
    case AppLanguage::system:
        break;
    }
    return systemLocale;
}

AppLanguage stored(const QSettings& settings)
{
    const QVariant value = settings.value(QString(settingsKey));
    // A value of another type (a list, a number) is as unusable as an unknown code.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return AppLanguage::system;
    return fromRawValue(value.toString()).value_or(AppLanguage::system);
}

void store(QSettings& settings, AppLanguage language)
{
    settings.setValue(QString(settingsKey), rawValue(language));
}

QLocale storedLocale(const QSettings& settings, const QLocale& systemLocale)
{
    return locale(stored(settings), systemLocale);
}

} // namespace AppLanguages
