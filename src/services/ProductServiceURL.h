#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// The base URL of the product web service that analytics, feedback, the update check and the About
// links address by path: BREWBEACON_SERVICE_URL, else the settings key "productServiceURL", else the
// public host. Anything that is not an absolute http(s) URL with a host is ignored, so a typo cannot
// send reports somewhere unexpected.
class ProductServiceURL {
public:
    static QString settingsKey() { return QStringLiteral("productServiceURL"); }
    static QString environmentVariable() { return QStringLiteral("BREWBEACON_SERVICE_URL"); }

    static QUrl defaultBase();
    static QUrl base();
    // The base with `path` ("/api/feedback") in place of its path; query and fragment dropped.
    static QUrl endpoint(const QString& path);
    static QUrl endpoint(const QUrl& base, const QString& path);

    static std::optional<QUrl> parse(const QString& text);
};
