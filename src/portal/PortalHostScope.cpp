#include "portal/PortalHostScope.h"

using namespace Qt::StringLiterals;

PortalHostScope::PortalHostScope(const QUrl& start)
{
    reset(start);
}

void PortalHostScope::reset(const QUrl& start)
{
    m_hosts.clear();
    const QString key = hostKey(start);
    if (!key.isEmpty())
        m_hosts.insert(key);
}

QString PortalHostScope::hostKey(const QUrl& url)
{
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    // A page opened from a file (the diagnostic tool) is its own portal; nothing else without a host is.
    if (scheme == "file"_L1)
        return u"file:"_s;
    if (scheme != "http"_L1 && scheme != "https"_L1)
        return {};
    const QString host = url.host(QUrl::FullyEncoded).toLower();
    return host;
}

bool PortalHostScope::allows(const QUrl& page) const
{
    const QString key = hostKey(page);
    return !key.isEmpty() && m_hosts.contains(key);
}

void PortalHostScope::noteNavigation(const QUrl& from, const QUrl& to, PortalNavigationKind kind)
{
    if (kind == PortalNavigationKind::link || kind == PortalNavigationKind::other || !allows(from))
        return;
    const QString key = hostKey(to);
    if (key.isEmpty() || m_hosts.size() >= maxHosts)
        return;
    m_hosts.insert(key);
}
