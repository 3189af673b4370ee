#include "services/ProductServiceURL.h"

#include <QSettings>

QUrl ProductServiceURL::defaultBase()
{
    return QUrl(QStringLiteral("https://brewbeacon.app"));
}

std::optional<QUrl> ProductServiceURL::parse(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

QUrl ProductServiceURL::base()
{
    if (const auto fromEnvironment = parse(qEnvironmentVariable("BREWBEACON_SERVICE_URL")))
        return *fromEnvironment;
    const QVariant stored = QSettings().value(settingsKey());
    if (stored.typeId() == QMetaType::QString) {
        if (const auto fromSettings = parse(stored.toString()))
            return *fromSettings;
    }
    return defaultBase();
}

QUrl ProductServiceURL::endpoint(const QString& path)
{
    return endpoint(base(), path);
}

QUrl ProductServiceURL::endpoint(const QUrl& base, const QString& path)
{
    QUrl url = base;
    // A base with a path prefix ("https://host/brewbeacon/") keeps it.
    QString prefix = base.path();
    while (prefix.endsWith(u'/'))
        prefix.chop(1);
    url.setPath(prefix + (path.startsWith(u'/') ? path : u'/' + path));
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}
