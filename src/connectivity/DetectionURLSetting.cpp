#include "connectivity/DetectionURLSetting.h"

#include <QSettings>

using namespace Qt::StringLiterals;

QUrl DetectionURLSetting::defaultURL()
{
    // Served by the product's operator next to its web service; plain HTTP so a portal can intercept it.
    return QUrl(u"http://connectivity.tolvek.com/hotspot-detect.html"_s);
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
