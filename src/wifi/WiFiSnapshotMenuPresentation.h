#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// The part of a snapshot the menu shows; compared first when deciding whether to publish.
struct WiFiSnapshotMenuPresentation {
    QString connectionTitle;
    bool hasOpenCandidate = false;
    std::optional<QUrl> portalURL;
    std::optional<QString> currentSSID;

    bool operator==(const WiFiSnapshotMenuPresentation&) const = default;
};
