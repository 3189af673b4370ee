#include "portal/PortalPressMemory.h"

bool PortalPressMemory::remember(const QString& stepKey)
{
    if (stepKey.isEmpty() || stepKey.size() > maxKeyLength)
        return false;
    if (m_keys.contains(stepKey))
        return true;
    if (m_keys.size() >= maxKeys)
        return false;
    m_keys.append(stepKey);
    return true;
}
