#pragma once

#include "wifi/NameHintSet.h"
#include "wifi/PublicNetworkScoring.h"

#include <QStringList>

// Scores by signal and noise, favours open networks, and gives a bonus to names that look like cafe,
// guest or public Wi-Fi.
class PublicNetworkScorer : public PublicNetworkScoring {
public:
    PublicNetworkScorer();

    using PublicNetworkScoring::candidate;
    using PublicNetworkScoring::rating;
    std::optional<int> nameScore(QStringView ssid) const override;
    PublicNetworkRating rating(const ScannedNetworkRecord& record, int nameScore) const override;
    PublicNetworkCandidate candidate(const ScannedNetworkRecord& record, const PublicNetworkRating& rating) const override;
    int score(const QString& ssid, int rssi, int noise, NetworkSecurity security) const override;

    // The same rules serve the joined network, so the scanner uses them too.
    static int signalScore(int rssi, int noise);
    static NetworkSecurity securityType(const ScannedNetworkRecord& record);
    static QString detail(NetworkSecurity security, int rssi, int noise);

    const QStringList& publicNameHints() const { return m_publicNameHints; }

private:
    int nameBonus(QStringView ssid) const;

    QStringList m_publicNameHints;
    NameHintSet m_hintSet;
};
