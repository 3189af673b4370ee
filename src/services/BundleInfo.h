#pragma once

#include <QHash>
#include <QString>
#include <optional>

// The application's information entries ("CFBundleShortVersionString", "CFBundleVersion",
// "CFBundleIdentifier", optionally "SUFeedURL"). On Linux they come from the build: the marketing
// version and build number are configured into BuildInfo.h, the feed URL from BREWBEACON_FEED_URL.
class BundleInfo {
public:
    BundleInfo() = default;
    explicit BundleInfo(QHash<QString, QString> entries) : m_entries(std::move(entries)) {}

    // The running application's entries, fixed at build time.
    static const BundleInfo& main();

    // The stored entry as it is, if there is one.
    std::optional<QString> rawValue(const QString& key) const;
    // The lookup every reader uses: a missing or empty entry, or one still holding an unexpanded
    // build variable ("$(...)"), reads as "Unknown".
    QString value(const QString& key) const;

    static QString unknown();

private:
    QHash<QString, QString> m_entries;
};
