#include "state/OpenNetworkOfferMemory.h"

#include <QCollator>
#include <algorithm>

using namespace Qt::StringLiterals;

QString OpenNetworkOfferMemory::signature(QStringList ssids)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(ssids.begin(), ssids.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return ssids.join(u'|');
}

bool OpenNetworkOfferMemory::shouldOffer(const QStringList& ssids)
{
    const QString key = signature(ssids);
    if (m_lastPresentedOpenNetworkSignature == key)
        return false;
    m_lastPresentedOpenNetworkSignature = key;
    return true;
}
