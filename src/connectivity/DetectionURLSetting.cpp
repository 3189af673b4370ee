#include "connectivity/DetectionURLSetting.h"

#include <QSettings>

using namespace Qt::StringLiterals;

QUrl DetectionURLSetting::defaultURL()
{
    // A public detection page that answers "success" over plain HTTP, so a portal can intercept it; it is
    // served from a large content network and meant for exactly this use.
    return QUrl(u"http://detectportal.firefox.com/success.txt"_s);
}

std::optional<QUrl> DetectionURLSetting::parse(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    if (url.scheme() != u"http"_s && url.scheme() != u"https"_s)
        return std::nullopt;
    return url;
}

QUrl DetectionURLSetting::configured()
{
    if (const auto fromEnvironment = parse(qEnvironmentVariable("BREWBEACON_DETECTION_URL")))
        return *fromEnvironment;
    const QVariant stored = QSettings().value(settingsKey());
    if (stored.typeId() == QMetaType::QString || stored.typeId() == QMetaType::QUrl) {
        if (const auto fromSettings = parse(stored.toString()))
            return *fromSettings;
    }
    return defaultURL();
}

QString DetectionURLSetting::defaultMarker() { return u"Success"_s; }

std::optional<QString> DetectionURLSetting::parseMarker(const QString& text)
{
    const QString marker = text.trimmed();
    // The marker is looked for in the first few KiB of the answer; an empty one would match anything.
    if (marker.isEmpty() || marker.size() > 256)
        return std::nullopt;
    return marker;
}

QString DetectionURLSetting::configuredMarker()
{
    if (const auto fromEnvironment = parseMarker(qEnvironmentVariable("BREWBEACON_DETECTION_MARKER")))
        return *fromEnvironment;
    const QVariant stored = QSettings().value(markerSettingsKey());
    if (stored.typeId() == QMetaType::QString) {
        if (const auto fromSettings = parseMarker(stored.toString()))
            return *fromSettings;
    }
    return defaultMarker();
}
