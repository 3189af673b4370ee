#include "ui/PublicNetworkRankRow.h"

#include "ui/UiText.h"

using namespace Qt::StringLiterals;

QList<PublicNetworkRankRow> PublicNetworkRankRow::rows(const QList<PublicNetworkCandidate>& publicNetworks,
                                                       const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
                                                       const std::optional<QString>& connectingSSID, bool isConnecting)
{
    QList<PublicNetworkRankRow> rows;
    int rank = 1;
    for (const auto& network : publicNetworks) {
        rows.append({rank++, network, connectedPublicNetwork && connectedPublicNetwork->ssid == network.ssid,
                     connectingSSID && *connectingSSID == network.ssid, isConnecting});
    }
    return rows;
}

QString PublicNetworkRankRow::countBadge(qsizetype count, const QLocale& locale)
{
    return QString::number(count) + uiText(u" public"_s, locale);
}
