#pragma once

#include <QLocale>
#include <QString>
#include <optional>

class QSettings;

// The language the windows speak: the system's, or one chosen in the main window.
enum class AppLanguage { system, english, vietnamese };

namespace AppLanguages {

// In display order.
inline constexpr AppLanguage all[] = {AppLanguage::system, AppLanguage::english, AppLanguage::vietnamese};

// "system", "en", "vi".
QString rawValue(AppLanguage language);
// Exactly the three raw values; anything else yields no value.
std::optional<AppLanguage> fromRawValue(const QString& raw);

// The locale applied to the windows. `system` follows the system's current locale, read on each call so
// that a change of the system language shows at the next redraw.
QLocale locale(AppLanguage language, const QLocale& systemLocale = QLocale::system());

// The user-defaults key holding the raw value.
inline constexpr QLatin1StringView settingsKey{"appLanguage"};

// The stored choice; absent or unrecognised values mean `system`.
AppLanguage stored(const QSettings& settings);
void store(QSettings& settings, AppLanguage language);

// The locale of the stored choice, as every window root applies it.
QLocale storedLocale(const QSettings& settings, const QLocale& systemLocale = QLocale::system());

} // namespace AppLanguages
