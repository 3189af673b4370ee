#pragma once

#include "wifi/PublicNetworkCandidate.h"

#include <QList>
#include <QLocale>
#include <QString>

struct NetworkFact {
    QString label;
    QString value;

    bool operator==(const NetworkFact&) const = default;
};

namespace NetworkFacts {

// "Security" and "Quality" of the connected network's facts grid.
QList<NetworkFact> facts(const PublicNetworkCandidate& network, const QLocale& locale);

// The short facts of a ranked row: "CH " + channel and rssi + " dBm", each only where known.
QStringList rowFacts(const PublicNetworkCandidate& network, const QLocale& locale);

} // namespace NetworkFacts
