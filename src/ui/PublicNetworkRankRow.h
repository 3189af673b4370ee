#pragma once

#include "wifi/PublicNetworkCandidate.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// One ranked row of the connection section; the window calls AppState.connect with `network`.
struct PublicNetworkRankRow {
    int rank = 1; // 1-based
    PublicNetworkCandidate network;
    bool isConnected = false; // shows "Connected" instead of the button
    bool isConnecting = false; // the button's label becomes a spinner
    bool connectionDisabled = false; // every row while any join runs

    static QList<PublicNetworkRankRow> rows(const QList<PublicNetworkCandidate>& publicNetworks,
                                            const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
                                            const std::optional<QString>& connectingSSID, bool isConnecting);

    // The header's count badge: "3 public".
    static QString countBadge(qsizetype count, const QLocale& locale);

    bool operator==(const PublicNetworkRankRow&) const = default;
};
