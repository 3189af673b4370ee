#include "wifi/WiFiRadioEstimates.h"
#include "wifi/WiFiSSIDText.h"
#include "wifi/NetworkManagerSecurity.h"
#include "wifi/WirelessLinkStatistics.h"

#include <gtest/gtest.h>

using Code = WiFiSecurityCode;

TEST(WiFiSSIDTextTests, ValidUtf8StaysExactAndStrayBytesAreEscaped)
{
    EXPECT_EQ(WiFiSSIDText::decode(" Cà phê "), QStringLiteral(" Cà phê "));
    EXPECT_EQ(WiFiSSIDText::decode(QByteArray("Caf\xe9", 4)), QStringLiteral("Caf\\xE9"));
    EXPECT_EQ(WiFiSSIDText::decode(QByteArray("\xff\xfe", 2)), QStringLiteral("\\xFF\\xFE"));
    // Overlong encodings, surrogates and cut-off sequences are not UTF-8.
    EXPECT_EQ(WiFiSSIDText::decode(QByteArray("\xc0\xaf", 2)), QStringLiteral("\\xC0\\xAF"));
    EXPECT_EQ(WiFiSSIDText::decode(QByteArray("\xed\xa0\x80", 3)), QStringLiteral("\\xED\\xA0\\x80"));
    EXPECT_EQ(WiFiSSIDText::decode(QByteArray("ok\xe2\x82", 4)), QStringLiteral("ok\\xE2\\x82"));
    EXPECT_NE(WiFiSSIDText::decode(QByteArray("\xe9", 1)), WiFiSSIDText::decode(QByteArray("\xe8", 1)));
}

namespace {
NetworkManagerAccessPoint point(quint32 flags, quint32 wpa, quint32 rsn)
{
    NetworkManagerAccessPoint ap;
    ap.flags = flags;
    ap.wpaFlags = wpa;
    ap.rsnFlags = rsn;
    return ap;
}
} // namespace

TEST(NetworkManagerSecurityTests, FlagsMapOntoSecurityCodes)
{
    using namespace NetworkManagerDBus;
    constexpr quint32 ciphers = 0x8 | 0x80;
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(0, 0, 0)), QList<Code>{Code::none});
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, 0, 0)), QList<Code>{Code::dynamicWEP});
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, keyManagementPSK, 0)), QList<Code>{Code::wpaPersonal});
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, 0, ciphers | keyManagementPSK | keyManagementSAE)),
              (QList<Code>{Code::wpa3Personal, Code::wpa2Personal}));
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, keyManagement8021X, ciphers | keyManagement8021X)),
              (QList<Code>{Code::wpa2Enterprise, Code::wpaEnterprise}));
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, 0, keyManagementEAPSuiteB192)), QList<Code>{Code::wpa3Enterprise});
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(1, 0, ciphers | keyManagementOWE)), QList<Code>{Code::owe});
    // No privacy bit but key management advertised: not open, whatever the bit says.
    EXPECT_EQ(NetworkManagerSecurity::supportedCodes(point(0, 0, keyManagementPSK)), QList<Code>{Code::wpa2Personal});
    // RSN flags with only an unlisted key management support no listed code (so: unknown).
    EXPECT_TRUE(NetworkManagerSecurity::supportedCodes(point(1, 0, ciphers | 0x10000)).isEmpty());
    EXPECT_EQ(NetworkManagerSecurity::currentCode(point(1, 0, ciphers | 0x10000)), Code::unknown);
    EXPECT_EQ(NetworkManagerSecurity::currentCode(point(1, 0, keyManagementPSK | keyManagement8021X)), Code::wpa2Enterprise);
    EXPECT_EQ(NetworkManagerSecurity::currentCode(point(0, 0, 0)), Code::none);
}

TEST(WiFiRadioEstimatesTests, StrengthChannelAndPhyMode)
{
    EXPECT_EQ(WiFiRadioEstimates::rssiFromStrength(100), -40);
    EXPECT_EQ(WiFiRadioEstimates::rssiFromStrength(0), -100);
    EXPECT_EQ(WiFiRadioEstimates::rssiFromStrength(70), -58);
    EXPECT_EQ(WiFiRadioEstimates::rssiFromStrength(250), -40);
    EXPECT_EQ(WiFiRadioEstimates::channelForFrequency(2412), 1);
    EXPECT_EQ(WiFiRadioEstimates::channelForFrequency(2484), 14);
    EXPECT_EQ(WiFiRadioEstimates::channelForFrequency(5180), 36);
    EXPECT_EQ(WiFiRadioEstimates::channelForFrequency(5955), 1);
    EXPECT_EQ(WiFiRadioEstimates::channelForFrequency(0), std::nullopt);
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(2437, 11000), QStringLiteral("802.11b"));
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(2437, 54000), QStringLiteral("802.11g"));
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(5180, 54000), QStringLiteral("802.11a"));
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(2437, 300000), QStringLiteral("802.11n"));
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(5180, 866000), QStringLiteral("802.11ac"));
    EXPECT_EQ(WiFiRadioEstimates::phyModeFor(6115, 54000), QStringLiteral("802.11ax"));
}

TEST(WirelessLinkStatisticsTests, ReadsLevelAndNoiseOfOneInterface)
{
    const QString table = QStringLiteral(
        "Inter-| sta-|   Quality        |   Discarded packets               | Missed | WE\n"
        " face | tus | link level noise |  nwid  crypt   frag  retry   misc | beacon | 22\n"
        "wlp2s0: 0000   54.  -56.  -256        0      0      0      0    123        0\n"
        "wlan1: 0000   40.  -70.  -92.        0      0      0      0      0        0\n");
    EXPECT_EQ(WirelessLinkStatistics::parse(QStringLiteral("wlp2s0"), table), (WirelessLinkStatistics{-56, std::nullopt}));
    EXPECT_EQ(WirelessLinkStatistics::parse(QStringLiteral("wlan1"), table), (WirelessLinkStatistics{-70, -92}));
    EXPECT_EQ(WirelessLinkStatistics::parse(QStringLiteral("wlan"), table), std::nullopt);
    EXPECT_EQ(WirelessLinkStatistics::parse(QStringLiteral("wlp2s0"), QStringLiteral("wlp2s0: 0000")), std::nullopt);
    EXPECT_EQ(WirelessLinkStatistics::read(QStringLiteral("wlp2s0"), QStringLiteral("/nonexistent")), std::nullopt);
}
