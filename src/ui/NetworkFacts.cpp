#include "ui/NetworkFacts.h"

#include "ui/SignalQuality.h"
#include "ui/UiText.h"

using namespace Qt::StringLiterals;

namespace NetworkFacts {

QList<NetworkFact> facts(const PublicNetworkCandidate& network, const QLocale& locale)
{
    return {
        {uiText(u"Security"_s, locale), uiText(rawValue(network.security), locale)},
        {uiText(u"Quality"_s, locale), SignalQuality::badgeText(network.quality)},
    };
}

QStringList rowFacts(const PublicNetworkCandidate& network, const QLocale& locale)
{
    QStringList facts;
    if (network.channel && !network.channel->isEmpty())
        facts.append(uiText(u"CH "_s, locale) + *network.channel);
    if (network.rssi)
        facts.append(QString::number(*network.rssi) + u" dBm"_s);
    return facts;
}

} // namespace NetworkFacts
