#include "wifi/PublicNetworkScorer.h"

#include "wifi/QualityFormatter.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

int signalBase(int rssi)
{
    if (rssi > 0)
        return 20;
    if (rssi >= -45)
        return 78;
    if (rssi >= -60)
        return 66;
    if (rssi >= -70)
        return 52;
    if (rssi >= -80)
        return 36;
    return 20;
}

int marginAdjustment(int rssi, int noise)
{
    // Widened so extreme readings cannot overflow.
    const qint64 margin = qint64(rssi) - qint64(noise);
    if (margin >= 42)
        return 10;
    if (margin >= 30)
        return 6;
    if (margin >= 18)
        return 2;
    return -8;
}

int securityAdjustment(NetworkSecurity security)
{
    switch (security) {
    case NetworkSecurity::open:
        return 18;
    case NetworkSecurity::personal:
        return -16;
    case NetworkSecurity::enterprise:
        return -26;
    case NetworkSecurity::unknown:
        break;
    }
    return -8;
}

// The highest signal score (the best base and margin); detail texts are kept for every score up to it.
constexpr int maximumSignalScore = 100;
constexpr size_t securityKinds = 4;

} // namespace

PublicNetworkScorer::PublicNetworkScorer()
    : m_publicNameHints{QStringLiteral("cafe"),    QStringLiteral("coffee"),   QStringLiteral("guest"),
                        QStringLiteral("wifi"),    QStringLiteral("free"),     QStringLiteral("public"),
                        QStringLiteral("starbucks"), QStringLiteral("hotel"),  QStringLiteral("airport"),
                        QStringLiteral("cowork"),  QStringLiteral("library"),  QStringLiteral("highland"),
                        QStringLiteral("highlands")},
      m_hintSet(m_publicNameHints)
{
}

int PublicNetworkScorer::signalScore(int rssi, int noise)
{
    return signalBase(rssi) + marginAdjustment(rssi, noise);
}

NetworkSecurity PublicNetworkScorer::securityType(const ScannedNetworkRecord& record)
{
    // A network that also accepts no security is open; enterprise beats personal. Each code is classed
    // as the joined network's is, in one pass.
    bool enterprise = false;
    bool personal = false;
    for (const WiFiSecurityCode code : record.supportedSecurity) {
        switch (networkSecurity(code)) {
        case NetworkSecurity::open:
            return NetworkSecurity::open;
        case NetworkSecurity::enterprise:
            enterprise = true;
            break;
        case NetworkSecurity::personal:
            personal = true;
            break;
        case NetworkSecurity::unknown:
            break;
        }
    }
    return enterprise ? NetworkSecurity::enterprise : personal ? NetworkSecurity::personal : NetworkSecurity::unknown;
}

QString PublicNetworkScorer::detail(NetworkSecurity security, int rssi, int noise)
{
    // The label describes the radio alone, not the security or name bonuses. A scan asks for the same
    // few texts over and over: they are made once and shared.
    static const std::array<std::array<QString, securityKinds>, maximumSignalScore + 1> texts = [] {
        std::array<std::array<QString, securityKinds>, maximumSignalScore + 1> all;
        for (int score = 0; score <= maximumSignalScore; ++score) {
            for (const NetworkSecurity kind : {NetworkSecurity::open, NetworkSecurity::personal, NetworkSecurity::enterprise,
                                               NetworkSecurity::unknown})
                all[size_t(score)][size_t(kind)] = candidateDetail(score, kind);
        }
        return all;
    }();
    const int score = signalScore(rssi, noise);
    if (score < 0 || score > maximumSignalScore || size_t(security) >= securityKinds)
        return candidateDetail(score, security);
    return texts[size_t(score)][size_t(security)];
}

int PublicNetworkScorer::nameBonus(QStringView ssid) const
{
    // Most names are plain ASCII: lower-cased on the stack in the same pass that finds them ASCII.
    QVarLengthArray<char16_t, 64> asciiLower(ssid.size());
    bool ascii = true;
    for (qsizetype i = 0; i < ssid.size() && ascii; ++i) {
        const char16_t unit = ssid.at(i).unicode();
        ascii = unit < 0x80;
        asciiLower[i] = unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit;
    }
    QString lowered;
    QStringView name;
    if (ascii) {
        name = QStringView(asciiLower.constData(), asciiLower.size());
    } else {
        lowered = ssid.toString().toLower();
        name = lowered;
    }
    const std::u16string_view haystack(name.utf16(), size_t(name.size()));
    int bonus = 0;
    if (m_hintSet.foundIn(haystack))
        bonus += 12;
    if (haystack.find(u"5g") != std::u16string_view::npos)
        bonus += 3;
    return bonus;
}

int PublicNetworkScorer::score(const QString& ssid, int rssi, int noise, NetworkSecurity security) const
{
    return std::clamp(signalScore(rssi, noise) + securityAdjustment(security) + nameBonus(ssid), 0, 100);
}

std::optional<int> PublicNetworkScorer::nameScore(QStringView ssid) const
{
    // A usable name has something besides blanks (almost always its first character).
    if (std::all_of(ssid.cbegin(), ssid.cend(), [](QChar c) { return c.isSpace(); }))
        return std::nullopt;
    return nameBonus(ssid);
}

PublicNetworkRating PublicNetworkScorer::rating(const ScannedNetworkRecord& record, int nameScore) const
{
    const NetworkSecurity security = securityType(record);
    return {std::clamp(signalScore(record.rssiValue, record.noiseMeasurement) + securityAdjustment(security) + nameScore, 0, 100),
            security};
}

PublicNetworkCandidate PublicNetworkScorer::candidate(const ScannedNetworkRecord& record, const PublicNetworkRating& rating) const
{
    PublicNetworkCandidate made;
    made.ssid = record.ssid.value_or(QString());
    made.quality = rating.quality;
    made.detail = detail(rating.security, record.rssiValue, record.noiseMeasurement);
    made.security = rating.security;
    made.rssi = record.rssiValue;
    made.noise = record.noiseMeasurement;
    made.ssidBytes = record.ssidBytes;
    return made;
}
