#include "wifi/PortalState.h"

namespace {

QString absoluteText(const QUrl& url) { return url.toString(QUrl::FullyEncoded); }

} // namespace

QString PortalState::logValue() const
{
    switch (m_kind) {
    case Kind::detected:
        return QStringLiteral("detected(") + absoluteText(m_url.value_or(QUrl())) + QLatin1Char(')');
    case Kind::suspected:
        if (!m_url)
            return QStringLiteral("suspected(no-url)");
        return QStringLiteral("suspected(") + absoluteText(*m_url) + QLatin1Char(')');
    case Kind::unknown:
    case Kind::online:
    case Kind::unavailable:
        break;
    }
    return analyticsValue();
}

QString PortalState::analyticsValue() const
{
    switch (m_kind) {
    case Kind::detected:
        return QStringLiteral("detected");
    case Kind::suspected:
        return QStringLiteral("suspected");
    case Kind::unknown:
        return QStringLiteral("unknown");
    case Kind::online:
        return QStringLiteral("online");
    case Kind::unavailable:
        break;
    }
    return QStringLiteral("unavailable");
}
