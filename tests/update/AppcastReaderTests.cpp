#include "services/update/AppcastReader.h"
#include "services/update/AppcastSelection.h"
#include "services/update/UpdateVersion.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QUrl feedURL(u"https://updates.example/feeds/appcast.xml"_s);

QByteArray feed(const QByteArray& items)
{
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="https://brewbeacon.app/xml-namespaces/appcast">
<channel><title>BrewBeacon</title>)" + items + "</channel></rss>";
}

AppcastItem item(const QString& version, std::optional<QString> minimumSystem = std::nullopt)
{
    AppcastItem result;
    result.version = version;
    result.minimumSystemVersion = std::move(minimumSystem);
    return result;
}

} // namespace

TEST(AppcastReader, ReadsItemsWithVersionsSignaturesAndResolvedURLs)
{
    const auto result = AppcastReader::read(feed(R"(
<item><title>Version 1.2</title>
  <sparkle:minimumSystemVersion>5.10</sparkle:minimumSystemVersion>
  <sparkle:releaseNotesLink>notes/1.2.html</sparkle:releaseNotesLink>
  <enclosure url="../downloads/brewbeacon-1.2.tar.gz" length="5120" type="application/gzip"
     sparkle:version="12" sparkle:shortVersionString="1.2" sparkle:edSignature=" c2ln "/>
</item>
<item><title>Old &amp; plain</title><sparkle:version> 7 </sparkle:version>
  <enclosure url="https://cdn.example/b-0.7.tar.gz" length="10"/></item>)"),
                                            feedURL);
    ASSERT_TRUE(result.isRead()) << result.detail.toStdString();
    EXPECT_EQ(result.appcast.title, u"BrewBeacon"_s);
    ASSERT_EQ(result.appcast.items.size(), 2);

    const AppcastItem& newest = result.appcast.items.at(0);
    EXPECT_EQ(newest.title, u"Version 1.2"_s);
    EXPECT_EQ(newest.version, u"12"_s);
    EXPECT_EQ(newest.displayVersion, u"1.2"_s);
    EXPECT_EQ(newest.minimumSystemVersion, u"5.10"_s);
    EXPECT_EQ(newest.releaseNotesURL, QUrl(u"https://updates.example/feeds/notes/1.2.html"_s));
    EXPECT_EQ(newest.enclosure.url, QUrl(u"https://updates.example/downloads/brewbeacon-1.2.tar.gz"_s));
    EXPECT_EQ(newest.enclosure.length, 5120);
    EXPECT_EQ(newest.enclosure.type, u"application/gzip"_s);
    EXPECT_EQ(newest.enclosure.edSignature, u"c2ln"_s);

    // The version may be an element of the item; the display version then falls back to it.
    const AppcastItem& old = result.appcast.items.at(1);
    EXPECT_EQ(old.title, u"Old & plain"_s);
    EXPECT_EQ(old.version, u"7"_s);
    EXPECT_EQ(old.displayVersion, u"7"_s);
    EXPECT_EQ(old.enclosure.edSignature, std::nullopt);
    EXPECT_TRUE(result.appcast.rejected.isEmpty());
}

TEST(AppcastReader, ItemsThatCannotBeFetchedSafelyAreRejectedOneByOne)
{
    using Reason = AppcastRejectedItem::Reason;
    const auto result = AppcastReader::read(feed(R"(
<item><title>no download</title><sparkle:version>9</sparkle:version></item>
<item><enclosure url="https://h/a" length="1"/></item>
<item><enclosure sparkle:version="9" length="1"/></item>
<item><enclosure url="file:///etc/passwd" sparkle:version="9" length="1"/></item>
<item><enclosure url="https://h/a" sparkle:version="9"/></item>
<item><enclosure url="https://h/a" sparkle:version="9" length="-4"/></item>
<item><enclosure url="https://h/a" sparkle:version="9" length="12abc"/></item>
<item><enclosure url="https://h/a" sparkle:version="9" length="99999999999999999999999"/></item>
<item><enclosure url="https://h/a" sparkle:version="9" length="1073741825"/></item>
<item><enclosure url="https://h/ok" sparkle:version="9" length="1073741824"/></item>)"),
                                            feedURL);
    ASSERT_TRUE(result.isRead());
    const QList<AppcastRejectedItem> expected{
        {0, Reason::missingEnclosure}, {1, Reason::missingVersion}, {2, Reason::missingURL},
        {3, Reason::unsupportedURL},   {4, Reason::missingLength},  {5, Reason::badLength},
        {6, Reason::badLength},        {7, Reason::tooLarge},       {8, Reason::tooLarge},
    };
    EXPECT_EQ(result.appcast.rejected, expected);
    ASSERT_EQ(result.appcast.items.size(), 1);
    EXPECT_EQ(result.appcast.items.first().enclosure.url, QUrl(u"https://h/ok"_s));
}

TEST(AppcastReader, BrokenOrForeignFeedsSayWhatIsWrong)
{
    const auto truncated = AppcastReader::read(feed("<item><enclosure url='x'").chopped(20), feedURL);
    EXPECT_EQ(truncated.kind, AppcastReadResult::Kind::malformed);
    EXPECT_TRUE(truncated.detail.contains(u"line"_s)) << truncated.detail.toStdString();

    EXPECT_EQ(AppcastReader::read("<html><body>maintenance</body></html>", feedURL).kind,
              AppcastReadResult::Kind::notAnAppcast);
    EXPECT_EQ(AppcastReader::read("<rss version='2.0'></rss>", feedURL).kind, AppcastReadResult::Kind::notAnAppcast);
    EXPECT_EQ(AppcastReader::read({}, feedURL).kind, AppcastReadResult::Kind::notAnAppcast);
    EXPECT_EQ(AppcastReader::read("\x01\x02not xml", feedURL).kind, AppcastReadResult::Kind::malformed);

    // Entity expansion is bounded by the reader rather than growing without end.
    const QByteArray bomb = R"(<?xml version="1.0"?><!DOCTYPE rss [<!ENTITY a "aaaaaaaaaaaaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<rss><channel><title>&e;&e;&e;&e;&e;&e;&e;&e;</title></channel></rss>)";
    EXPECT_EQ(AppcastReader::read(bomb, feedURL).kind, AppcastReadResult::Kind::malformed);
}

TEST(UpdateVersion, OrdersNumbersByValueAndPreReleasesBeforeReleases)
{
    EXPECT_LT(compareUpdateVersions(u"9", u"10"), 0);
    EXPECT_EQ(compareUpdateVersions(u"1.02", u"1.2"), 0);
    EXPECT_LT(compareUpdateVersions(u"2.0", u"2.0.1"), 0);
    EXPECT_LT(compareUpdateVersions(u"2.0b3", u"2.0"), 0);
    EXPECT_LT(compareUpdateVersions(u"2.0b3", u"2.0b10"), 0);
    EXPECT_LT(compareUpdateVersions(u"1.0a", u"1.0.1"), 0);
    EXPECT_GT(compareUpdateVersions(u"123456789012345678901234567890", u"99"), 0);
    EXPECT_EQ(compareUpdateVersions(u"", u""), 0);
}

TEST(AppcastSelection, PicksTheNewestItemThisSystemCanRun)
{
    const QList<AppcastItem> items{item(u"11"_s), item(u"14"_s, u"7.0"_s), item(u"13"_s, u"6.1"_s), item(u"12"_s)};
    EXPECT_EQ(newestApplicableItem(items, u"10", u"6.1.0")->version, u"13"_s);
    EXPECT_EQ(newestApplicableItem(items, u"10", u"7.2")->version, u"14"_s);
    // Items no newer than the running build never apply.
    EXPECT_EQ(newestApplicableItem(items, u"13", u"6.1.0"), std::nullopt);
    EXPECT_EQ(newestApplicableItem({item(u"3"_s), item(u"4"_s)}, u"4", u"6.1"), std::nullopt);
    EXPECT_EQ(newestApplicableItem({}, u"1", u"6.1"), std::nullopt);
    EXPECT_FALSE(currentSystemVersion().contains(u'-'));
}
