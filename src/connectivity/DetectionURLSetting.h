#pragma once

#include <QString>
#include <QUrl>

// Where the portal probe fetches its detection page and the text that page must hold:
// BREWBEACON_DETECTION_URL / BREWBEACON_DETECTION_MARKER, else the settings keys "detectionURL" /
// "detectionMarker", else the defaults. A URL that is not an absolute http(s) URL with a host, or a
// blank or oversized marker, is ignored, so a bad setting can never point the probe at something it
// cannot fetch or make every answer look online.
class DetectionURLSetting {
public:
    static QString settingsKey() { return QStringLiteral("detectionURL"); }
    static QString environmentVariable() { return QStringLiteral("BREWBEACON_DETECTION_URL"); }

    static QString markerSettingsKey() { return QStringLiteral("detectionMarker"); }
    static QString markerEnvironmentVariable() { return QStringLiteral("BREWBEACON_DETECTION_MARKER"); }

    static QUrl defaultURL();
    static QUrl configured();
    // The marker goes with its page: a page set without a marker of its own keeps the default one.
    static QString defaultMarker();
    static QString configuredMarker();
    static std::optional<QString> parseMarker(const QString& text);
    // The URL the text names, when it is usable as a detection page.
    static std::optional<QUrl> parse(const QString& text);
};
