#pragma once

#include <QString>
#include <QUrl>

// Where the portal probe fetches its detection page: BREWBEACON_DETECTION_URL, else the settings key
// "detectionURL", else the default page. A value that is not an absolute http(s) URL with a host is
// ignored, so a bad setting can never point the probe at something it cannot fetch.
class DetectionURLSetting {
public:
    static QString settingsKey() { return QStringLiteral("detectionURL"); }
    static QString environmentVariable() { return QStringLiteral("BREWBEACON_DETECTION_URL"); }

    static QUrl defaultURL();
    static QUrl configured();
    // The URL the text names, when it is usable as a detection page.
    static std::optional<QUrl> parse(const QString& text);
};
