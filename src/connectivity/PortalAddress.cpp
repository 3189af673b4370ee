#include "connectivity/PortalAddress.h"

bool PortalAddress::isUsable(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

std::optional<QUrl> PortalAddress::usable(const std::optional<QUrl>& url)
{
    if (url && isUsable(*url))
        return url;
    return std::nullopt;
}
