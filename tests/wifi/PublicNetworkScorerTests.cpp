#include "testkit/Candidates.h"
#include "testkit/WiFiPrinters.h"
#include "wifi/AsciiCollationRanks.h"
#include "wifi/PublicNetworkRanking.h"
#include "wifi/PublicNetworkScorer.h"
#include "wifi/WiFiSecurityCode.h"

#include <QCollator>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

ScannedNetworkRecord record(std::optional<QString> ssid, int rssi, int noise, QList<WiFiSecurityCode> security)
{
    ScannedNetworkRecord result;
    result.ssid = std::move(ssid);
    result.rssiValue = rssi;
    result.noiseMeasurement = noise;
    result.supportedSecurity = std::move(security);
    return result;
}

PublicNetworkCandidate ranked(const QString& ssid, int quality, const QString& detail = {})
{
    PublicNetworkCandidate candidate;
    candidate.ssid = ssid;
    candidate.quality = quality;
    candidate.detail = detail;
    candidate.security = NetworkSecurity::open;
    return candidate;
}

TEST(PublicNetworkScorer, SignalScoreChangesAtExactBounds)
{
    // A noise of -200 makes every margin 42 or more (+10); at -50 dBm the base is 66.
    const struct {
        int rssi, noise, score;
    } cases[] = {{0, -200, 88},  {-45, -200, 88}, {-46, -200, 76}, {-60, -200, 76}, {-61, -200, 62}, {-70, -200, 62},
                 {-71, -200, 46}, {-80, -200, 46}, {-81, -200, 30}, {1, -200, 30},    {-50, -92, 76},  {-50, -91, 72},
                 {-50, -80, 72},  {-50, -79, 68},  {-50, -68, 68},  {-50, -67, 58},  {-50, 0, 58}};
    for (const auto& c : cases)
        EXPECT_EQ(PublicNetworkScorer::signalScore(c.rssi, c.noise), c.score) << c.rssi << "/" << c.noise;
}

TEST(PublicNetworkScorer, ExtremeReadingsStayInRange)
{
    const PublicNetworkScorer scorer;
    EXPECT_EQ(PublicNetworkScorer::signalScore(std::numeric_limits<int>::max(), std::numeric_limits<int>::min()), 30);
    EXPECT_EQ(PublicNetworkScorer::signalScore(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()), 12);
    EXPECT_EQ(scorer.score(u"x"_s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), NetworkSecurity::enterprise), 0);
}

TEST(PublicNetworkScorer, QualityAddsSecurityOneHintAndFiveGThenClamps)
{
    const PublicNetworkScorer scorer;
    // 72 + 18 + 12 = 102, clamped.
    EXPECT_EQ(scorer.score(u"Cafe Guest"_s, -50, -90, NetworkSecurity::open), 100);
    // 58 - 16 + 3.
    EXPECT_EQ(scorer.score(u"Home-5G"_s, -65, -95, NetworkSecurity::personal), 45);
    // 12 - 26, clamped.
    EXPECT_EQ(scorer.score(u"Corp"_s, -85, -90, NetworkSecurity::enterprise), 0);
    // 58 - 8.
    EXPECT_EQ(scorer.score(u"Mystery"_s, -65, -95, NetworkSecurity::unknown), 50);
    // Hints match anywhere, ignoring case, and count once.
    EXPECT_EQ(scorer.score(u"STARBUCKS"_s, -65, -95, NetworkSecurity::personal), 58 - 16 + 12);
    EXPECT_EQ(scorer.score(u"Free Public Library WiFi"_s, -65, -95, NetworkSecurity::personal), 58 - 16 + 12);
    EXPECT_EQ(scorer.score(u"MyCoworkSpace 5g"_s, -65, -95, NetworkSecurity::personal), 58 - 16 + 12 + 3);
    EXPECT_EQ(scorer.score(QString(), -65, -95, NetworkSecurity::open), 58 + 18);
}

TEST(PublicNetworkScorer, SecurityClassificationAsksCodesInOrder)
{
    using Code = WiFiSecurityCode;
    const auto classify = [](QList<Code> codes) { return PublicNetworkScorer::securityType(record(u"n"_s, -50, -90, codes)); };
    EXPECT_EQ(classify({Code::none}), NetworkSecurity::open);
    EXPECT_EQ(classify({Code::wpa2Enterprise, Code::none}), NetworkSecurity::open);
    EXPECT_EQ(classify({Code::wpa2Personal, Code::wpaEnterprise}), NetworkSecurity::enterprise);
    EXPECT_EQ(classify({Code::wpa3Enterprise}), NetworkSecurity::enterprise);
    EXPECT_EQ(classify({Code::wpa3Personal}), NetworkSecurity::personal);
    EXPECT_EQ(classify({Code::wpaPersonal}), NetworkSecurity::personal);
    EXPECT_EQ(classify({Code::dynamicWEP}), NetworkSecurity::personal);
    // Codes never asked leave a network unknown.
    EXPECT_EQ(classify({Code::wep}), NetworkSecurity::unknown);
    EXPECT_EQ(classify({Code::owe, Code::oweTransition, Code::wpa3Transition, Code::personal, Code::enterprise}), NetworkSecurity::unknown);
    EXPECT_EQ(classify({}), NetworkSecurity::unknown);
}

TEST(PublicNetworkScorer, CandidateFromRecord)
{
    const PublicNetworkScorer scorer;
    const auto cafe = scorer.candidate(record(u" Cafe Guest "_s, -50, -90, {WiFiSecurityCode::none}));
    ASSERT_TRUE(cafe.has_value());
    EXPECT_EQ(*cafe, (PublicNetworkCandidate{u" Cafe Guest "_s, 100, u"Good open signal"_s, NetworkSecurity::open, -50, -90,
                                             std::nullopt, std::nullopt, std::nullopt, std::nullopt, {}}));

    // The label describes the signal alone (58), not the quality (45).
    const auto home = scorer.candidate(record(u"Home-5G"_s, -65, -95, {WiFiSecurityCode::wpa2Personal}));
    EXPECT_EQ(home->quality, 45);
    EXPECT_EQ(home->detail, u"Fair, password required"_s);

    const auto corp = scorer.candidate(record(u"Corp"_s, -85, -90, {WiFiSecurityCode::wpa2Enterprise}));
    EXPECT_EQ(corp->quality, 0);
    EXPECT_EQ(corp->detail, u"Weak, account login required"_s);

    EXPECT_EQ(scorer.candidate(record(std::nullopt, -50, -90, {WiFiSecurityCode::none})), std::nullopt);
    EXPECT_EQ(scorer.candidate(record(QString(), -50, -90, {WiFiSecurityCode::none})), std::nullopt);
    EXPECT_EQ(scorer.candidate(record(u"   "_s, -50, -90, {WiFiSecurityCode::none})), std::nullopt);
    EXPECT_EQ(scorer.candidate(record(u" \t\n"_s, -50, -90, {WiFiSecurityCode::none})), std::nullopt);
}

TEST(PublicNetworkRanking, QualityFirstThenNamesCollatedByLocaleNotByCodePoint)
{
    // By code point "Zoo" < "Éclair"; a collator puts accented letters with their base letter.
    const auto order = rankedCandidates({ranked(u"Zoo"_s, 50), ranked(u"low"_s, 10), ranked(u"Éclair"_s, 50),
                                         ranked(u"eagle"_s, 50), ranked(u"Top"_s, 90)},
                                        QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ssids(order), (QStringList{u"Top"_s, u"eagle"_s, u"Éclair"_s, u"Zoo"_s, u"low"_s}));
    // Swedish puts Ö after Z.
    const auto swedish = rankedCandidates({ranked(u"Öl"_s, 50), ranked(u"Zebra"_s, 50), ranked(u"Ost"_s, 50)},
                                          QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(ssids(swedish), (QStringList{u"Ost"_s, u"Zebra"_s, u"Öl"_s}));
}

TEST(PublicNetworkRanking, CrowdedScansOrderAsTheCollatorInEveryLocale)
{
    // Names repeat, differ in case, accents and blanks, and include the empty one: the order must be
    // exactly the collator's, with scan order between equals.
    const QStringList pool{u"Cafe"_s, u"cafe"_s, u"CAFE "_s, u"Café"_s, u"Éclair"_s, u"eagle"_s, u"Öl"_s, u"Ost"_s,
                           u"Zebra"_s, u"Phở Hà Nội"_s, u"pho ha noi"_s, u"Đà Lạt"_s, QString(), u"a"_s, u"B"_s, u"10"_s,
                           u"9"_s, u"Straße"_s, u"STRASSE"_s, u"İstanbul"_s, u"\u00A0Guest"_s};
    QList<PublicNetworkCandidate> scan;
    for (int i = 0; i < 600; ++i) {
        scan.append(ranked(pool[(i * 7) % pool.size()], (i % 3) * 10, QString::number(i)));
        // Secured twins and byte identities, for the de-duplication ranked in one go below.
        if (i % 5 == 0)
            scan.last().security = NetworkSecurity::personal;
        if (i % 11 == 0)
            scan.last().ssidBytes = scan.last().ssid.toLatin1();
    }
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Swedish, QLocale::Sweden),
                                  QLocale(QLocale::Vietnamese, QLocale::Vietnam), QLocale::c()}) {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QList<PublicNetworkCandidate> expected = scan;
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& lhs, const auto& rhs) {
            return lhs.quality != rhs.quality ? lhs.quality > rhs.quality : collator.compare(lhs.ssid, rhs.ssid) < 0;
        });
        EXPECT_EQ(rankedCandidates(scan, locale), expected) << locale.name().toStdString();
        EXPECT_EQ(rankedUniqueCandidates(scan, locale), uniqueCandidatesBySSID(expected)) << locale.name().toStdString();
    }
}

TEST(PublicNetworkRanking, PlainAsciiScansOrderAsTheCollatorEvenWhereLettersJoin)
{
    // Plain-ASCII names take a shorter road to the same order; locales that join letters into one
    // (Danish "aa", Welsh "ch" and "ll", Hungarian "cs", Slovak "ch") must not be misled by it.
    const QStringList pool{u"aa"_s, u"Aalborg"_s, u"ab"_s, u"az"_s, u"zz"_s, u"ch"_s, u"Chai"_s, u"cz"_s, u"ci"_s,
                           u"h"_s, u"llan"_s, u"lz"_s, u"cs"_s, u"csak"_s, u"cz-1"_s, u"c-s"_s, u"C_S"_s, u"c s"_s,
                           u"10"_s, u"9"_s, u"#1"_s, u"~x"_s, u"x\u0001y"_s, u"xy"_s, u"X.Y"_s, u"x-y"_s, u"WiFi"_s,
                           u"wifi"_s, u"Wi Fi"_s, u"Wi-Fi"_s, u"Wi_Fi"_s, u"Wi@Fi"_s, u"\tTab"_s, u"Tab"_s, QString(), u"\u0002"_s,
                           // Long names that part only after their first sixteen characters.
                           u"Airport Free WiFi 12"_s, u"airport free wifi 3"_s, u"Airport Free WiFi-12"_s,
                           u"Airport Free WiFi 12 b"_s, u"AIRPORT FREE WIFI 12"_s};
    QList<PublicNetworkCandidate> scan;
    for (int i = 0; i < 200; ++i)
        scan.append(ranked(pool[(i * 7) % pool.size()], (i % 2) * 10, QString::number(i)));
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Danish, QLocale::Denmark),
                                  QLocale(QLocale::Welsh, QLocale::UnitedKingdom), QLocale(QLocale::Hungarian, QLocale::Hungary),
                                  QLocale(QLocale::Slovak, QLocale::Slovakia), QLocale(QLocale::Vietnamese, QLocale::Vietnam),
                                  QLocale::c()}) {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QList<PublicNetworkCandidate> expected = scan;
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& lhs, const auto& rhs) {
            return lhs.quality != rhs.quality ? lhs.quality > rhs.quality : collator.compare(lhs.ssid, rhs.ssid) < 0;
        });
        EXPECT_EQ(ssids(rankedCandidates(scan, locale)), ssids(expected)) << locale.name().toStdString();
        EXPECT_EQ(rankedUniqueCandidates(scan, locale), uniqueCandidatesBySSID(expected)) << locale.name().toStdString();
        // The shorter road is taken where it leads to the same order, and only there.
        const bool joinsLetters = locale.language() == QLocale::Danish || locale.language() == QLocale::Welsh ||
                                  locale.language() == QLocale::Hungarian || locale.language() == QLocale::Slovak;
        EXPECT_EQ(AsciiCollationRanks::derive(collator).has_value(), !joinsLetters) << locale.name().toStdString();
    }
}

TEST(PublicNetworkRanking, RecordsRankAsTheCandidatesMadeOfThemDo)
{
    // Hidden and blank names, repeated names in other cases and blanks, broadcast bytes that are not
    // UTF-8, open and secured twins and equal qualities: only the survivors become candidates, and
    // they must be the very ones the whole list of candidates ranks first.
    const QStringList names{u"Cafe"_s, u" CAFE "_s, u"Guest 5G"_s, u"Library"_s, u"Phở Hà Nội"_s, u"pho ha noi"_s, u"   "_s};
    const QList<QList<WiFiSecurityCode>> securities{{WiFiSecurityCode::none}, {WiFiSecurityCode::wpa2Personal},
                                                    {WiFiSecurityCode::wpa2Enterprise}, {}};
    QList<ScannedNetworkRecord> records;
    for (int i = 0; i < 300; ++i) {
        const std::optional<QString> name = i % 13 == 0 ? std::nullopt : std::optional<QString>(names[i % names.size()]);
        ScannedNetworkRecord scanned = record(name, -40 - (i * 7) % 50, -92, securities[(i / 3) % securities.size()]);
        scanned.ssidBytes = i % 11 == 0 ? QByteArray("\xE9t\xE9") : name.value_or(QString()).toUtf8();
        records.append(scanned);
    }
    const PublicNetworkScorer scorer;
    QList<PublicNetworkCandidate> candidates;
    for (const ScannedNetworkRecord& scanned : records) {
        const auto candidate = scorer.candidate(scanned);
        const auto rating = scorer.rating(scanned);
        ASSERT_EQ(candidate.has_value(), rating.has_value());
        if (candidate) {
            EXPECT_EQ(candidate->quality, rating->quality);
            EXPECT_EQ(candidate->security, rating->security);
            candidates.append(*candidate);
        }
    }
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Vietnamese, QLocale::Vietnam)})
        EXPECT_EQ(rankedUniqueCandidates(records, scorer, locale), rankedUniqueCandidates(candidates, locale)) << locale.name().toStdString();
}

TEST(PublicNetworkRanking, OneCandidatePerTrimmedLowerCasedName)
{
    const auto ranking = rankedCandidates({ranked(u"Cafe"_s, 70), ranked(u"cafe "_s, 80), ranked(u"Other"_s, 60),
                                           ranked(u"\tCAFE\n"_s, 75)});
    const auto unique = uniqueCandidatesBySSID(ranking);
    EXPECT_EQ(ssids(unique), (QStringList{u"cafe "_s, u"Other"_s}));
    EXPECT_EQ(unique.first().quality, 80);

    // Beyond ASCII the same holds; bytes that are not UTF-8 never merge with a text name.
    PublicNetworkCandidate latin1 = ranked(u"\\xE9t\\xE9"_s, 40);
    latin1.ssidBytes = QByteArray("\xE9t\xE9");
    QList<PublicNetworkCandidate> mixed{ranked(u" CAFÉ "_s, 90), ranked(u"café"_s, 80), latin1, ranked(u"\\xE9t\\xE9"_s, 30)};
    EXPECT_EQ(ssids(uniqueCandidatesBySSID(mixed)), (QStringList{u" CAFÉ "_s, u"\\xE9t\\xE9"_s, u"\\xE9t\\xE9"_s}));
    EXPECT_EQ(uniqueCandidatesBySSID(QList<PublicNetworkCandidate>(mixed)), uniqueCandidatesBySSID(mixed))
        << "moving the list out gives the same survivors";
}

} // namespace
