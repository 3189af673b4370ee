#pragma once

#include "wifi/PublicNetworkCandidate.h"

#include <QList>
#include <QStringList>

// A scanned network with just the fields a test cares about.
inline PublicNetworkCandidate network(const QString& ssid, int quality, NetworkSecurity security = NetworkSecurity::open)
{
    PublicNetworkCandidate candidate;
    candidate.ssid = ssid;
    candidate.quality = quality;
    candidate.security = security;
    return candidate;
}

inline QStringList ssids(const QList<PublicNetworkCandidate>& candidates)
{
    QStringList names;
    for (const auto& candidate : candidates)
        names.append(candidate.ssid);
    return names;
}
