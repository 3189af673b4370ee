#pragma once

#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiSnapshot.h"

#include <QLocale>
#include <QString>
#include <optional>

// Drawn green, orange, red and in the secondary colour.
enum class DiagnosticStatusTone { active, warning, danger, muted };

// One tile of "Connection Checks". A loading tile shows a spinner instead of its value.
struct DiagnosticStatus {
    QString label;
    std::optional<QString> value;
    QString detail;
    QString systemImage;
    DiagnosticStatusTone tone = DiagnosticStatusTone::muted;
    bool isLoading = false;

    static DiagnosticStatus cafeWiFi(const WiFiSnapshot& snapshot,
                                     const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
                                     bool isReading, bool isLocationNeeded, const QLocale& locale);
    // An unknown portal state spins only while a check that can probe really runs (`isReading`); with
    // nothing joined no probe is coming, and a spinner would redraw the window for nothing.
    static DiagnosticStatus captivePortal(const PortalState& portalState, bool isReading, const QLocale& locale);
    static DiagnosticStatus portalHelper(const QLocale& locale);

    bool operator==(const DiagnosticStatus&) const = default;
};
