#pragma once

#include "connectivity/NetworkPathStatus.h"
#include "services/BundleInfo.h"
#include "state/LocationAuthorizationStatus.h"
#include "wifi/WiFiSnapshot.h"

#include <QJsonObject>
#include <QString>
#include <optional>

// The coarse state sent with every report. Never a network name, a URL or a form value.
struct FeedbackDiagnostics {
    QString appVersion;
    QString buildNumber;
    // The operating system's version text; the wire key keeps its established name.
    QString macOSVersion;
    QString architecture;
    QString locale;
    QString locationPermission;
    QString connectionState;
    QString portalState;
    QString networkPath;
    int candidateCount = 0;
    int openCandidateCount = 0;
    QString signalQualityBucket;

    // From what the application state publishes: its snapshot, location permission and the last path
    // reading (none yet: absent).
    static FeedbackDiagnostics capture(const WiFiSnapshot& snapshot, LocationAuthorizationStatus location,
                                       const std::optional<NetworkPathStatus>& path,
                                       const BundleInfo& bundle = BundleInfo::main());

    static QString networkPathValue(const std::optional<NetworkPathStatus>& path);
    static QString signalQualityBucketFor(const WiFiSnapshot& snapshot);
    // The build's processor family.
    static QString buildArchitecture();

    QString previewText() const;
    QJsonObject toJson() const;

    bool operator==(const FeedbackDiagnostics&) const = default;
};
