#include "state/OpenNetworkOfferMemory.h"

#include <QCollator>
#include <algorithm>

using namespace Qt::StringLiterals;

QString OpenNetworkOfferMemory::signature(QStringList ssids)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names that differ only in case still sort one way, so the same set always gives the same key.
    std::sort(ssids.begin(), ssids.end(), [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    // A network may be named with the separator itself: escape it, so {"a|b"} is not {"a", "b"}.
    for (QString& ssid : ssids)
        ssid.replace(u"\\"_s, u"\\\\"_s).replace(u"|"_s, u"\\|"_s);
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
