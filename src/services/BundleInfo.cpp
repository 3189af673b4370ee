#include "services/BundleInfo.h"

#include "BuildInfo.h"

using namespace Qt::StringLiterals;

#ifndef BREWBEACON_FEED_URL
#define BREWBEACON_FEED_URL ""
#endif

const BundleInfo& BundleInfo::main()
{
    static const BundleInfo info([] {
        QHash<QString, QString> entries{
            {u"CFBundleShortVersionString"_s, QStringLiteral(BREWBEACON_MARKETING_VERSION)},
            {u"CFBundleVersion"_s, QStringLiteral(BREWBEACON_BUILD_NUMBER)},
            {u"CFBundleIdentifier"_s, u"com.tolvek.brewbeacon"_s},
        };
        const QString feed = QStringLiteral(BREWBEACON_FEED_URL);
        if (!feed.isEmpty())
            entries.insert(u"SUFeedURL"_s, feed);
        return entries;
    }());
    return info;
}

std::optional<QString> BundleInfo::rawValue(const QString& key) const
{
    const auto found = m_entries.constFind(key);
    if (found == m_entries.constEnd())
        return std::nullopt;
    return *found;
}

QString BundleInfo::value(const QString& key) const
{
    const auto raw = rawValue(key);
    if (!raw || raw->isEmpty() || raw->startsWith(u"$("))
        return unknown();
    return *raw;
}

QString BundleInfo::unknown()
{
    return u"Unknown"_s;
}
