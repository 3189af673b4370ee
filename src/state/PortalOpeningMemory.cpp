#include "state/PortalOpeningMemory.h"

using namespace Qt::StringLiterals;

QString PortalOpeningMemory::signature(const QString& network, const QUrl& portalURL)
{
    return network + u'|' + portalURL.toString(QUrl::FullyEncoded);
}

bool PortalOpeningMemory::shouldOpen(const QString& network, const QUrl& portalURL)
{
    const QString key = signature(network, portalURL);
    if (m_lastOpenedPortalSignature == key)
        return false;
    m_lastOpenedPortalSignature = key;
    return true;
}
