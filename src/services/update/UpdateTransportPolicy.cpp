#include "services/update/UpdateTransportPolicy.h"

#ifndef BREWBEACON_UPDATE_ALLOW_HTTP
#define BREWBEACON_UPDATE_ALLOW_HTTP 0
#endif

bool UpdateTransportPolicy::buildAllowsHTTP()
{
    return BREWBEACON_UPDATE_ALLOW_HTTP != 0;
}

bool UpdateTransportPolicy::permits(const QUrl& url) const
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty())
        return false;
    return scheme == u"https" || (allowsHTTP && scheme == u"http");
}
