#include "readiness/WorkReadinessAssessment.h"

#include "wifi/WiFiSnapshot.h"

using namespace Qt::StringLiterals;

namespace {

WorkReadinessAssessment checking()
{
    return {WorkReadinessLevel::checking,
            std::nullopt,
            u"Checking work readiness"_s,
            u"BrewBeacon is verifying the current path before scoring it."_s,
            u"Keep this window open for the latest result."_s,
            {u"Internet check"_s, u"Portal check"_s, u"Signal check"_s},
            {}};
}

WorkReadinessAssessment portalBlocks()
{
    return {WorkReadinessLevel::blocked,
            15,
            u"Portal blocks work"_s,
            u"The Wi-Fi is visible, but internet access still needs a portal step."_s,
            u"Open Portal Assistant and complete any required venue step."_s,
            {u"Portal page"_s, u"Local network"_s},
            {u"Captive portal not cleared"_s}};
}

WorkReadinessAssessment failed(const QString& message)
{
    return {WorkReadinessLevel::blocked, 0, u"Needs attention"_s, message,
            u"Fix the reported issue, then run another check."_s, {u"Diagnostics"_s}, {message}};
}

WorkReadinessAssessment ready(const WiFiSnapshot& snapshot)
{
    const std::optional<PublicNetworkCandidate> open = snapshot.bestOpenCandidate();
    if (!open) {
        return {WorkReadinessLevel::blocked,
                std::nullopt,
                u"No cafe Wi-Fi to score"_s,
                u"BrewBeacon has not found a usable cafe or guest candidate."_s,
                u"Move closer to the access point or refresh the scan."_s,
                {u"Wi-Fi scanning"_s},
                {u"No open cafe or guest candidate"_s}};
    }
    return {WorkReadinessLevel::poor,
            std::nullopt,
            u"Ready to test"_s,
            open->ssid + u" looks usable, but internet has not been verified on it yet."_s,
            u"Join the best cafe candidate to measure whether it is work ready."_s,
            {u"Candidate ranking"_s, u"Portal check after join"_s},
            {u"Not connected to the candidate yet"_s}};
}

WorkReadinessAssessment offline()
{
    return {WorkReadinessLevel::blocked,
            0,
            u"Not work ready"_s,
            u"This computer does not have verified internet access yet."_s,
            u"Try the ranked cafe Wi-Fi list or open the portal if one appears."_s,
            {u"Local Wi-Fi only"_s},
            {u"No verified internet path"_s}};
}

// The rate the judgement uses: the judged network's own when it has one (even an unusable one),
// otherwise the interface's. Only a positive rate counts.
std::optional<double> usableRate(const std::optional<PublicNetworkCandidate>& network, const WiFiSnapshot& snapshot)
{
    std::optional<double> rate;
    if (network && network->transmitRate)
        rate = network->transmitRate;
    else if (snapshot.interfaceDetails)
        rate = snapshot.interfaceDetails->transmitRate;
    if (rate && *rate > 0)
        return rate;
    return std::nullopt;
}

WorkReadinessAssessment connected(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& pathStatus)
{
    const std::optional<PublicNetworkCandidate> network =
        snapshot.currentNetwork ? snapshot.currentNetwork : snapshot.bestOpenCandidate();
    int score = 0;
    QStringList factors;
    if (!network) {
        score = 72;
        factors.append(u"Wi-Fi signal details hidden"_s);
    } else if (network->quality >= 82) {
        score = 86;
    } else if (network->quality >= 65) {
        score = 77;
    } else if (network->quality >= 45) {
        score = 60;
        factors.append(u"Fair signal quality"_s);
    } else {
        score = 46;
        factors.append(u"Weak signal quality"_s);
    }

    if (const std::optional<double> rate = usableRate(network, snapshot)) {
        if (*rate >= 150) {
            score += 4;
        } else if (*rate >= 50) {
            // a usual rate changes nothing
        } else if (*rate >= 20) {
            score -= 8;
            factors.append(u"Limited Wi-Fi rate"_s);
        } else {
            score -= 18;
            factors.append(u"Very low Wi-Fi rate"_s);
        }
    }

    bool constrained = false;
    if (pathStatus && pathStatus->isSatisfied()) {
        if (pathStatus->isExpensive()) {
            score -= 10;
            factors.append(u"Metered or hotspot-like path"_s);
        }
        if (pathStatus->isConstrained()) {
            constrained = true;
            score -= 14;
            factors.append(u"Low Data Mode"_s);
        }
    }

    if (score >= 82 && !constrained) {
        return {WorkReadinessLevel::good,
                score,
                u"Work ready"_s,
                u"Internet is verified and the current Wi-Fi looks strong enough for everyday work."_s,
                u"Good for browsing, email, meetings, and moderate uploads."_s,
                {u"Browsing"_s, u"Email"_s, u"Video calls"_s, u"Uploads"_s},
                factors};
    }
    if (score >= 62) {
        return {WorkReadinessLevel::okay,
                score,
                u"Mostly work ready"_s,
                u"Internet is verified, but one or more signals suggest this network may slow down."_s,
                u"Good for browsing and email; keep a hotspot nearby for calls or uploads."_s,
                {u"Browsing"_s, u"Email"_s, u"Light calls"_s},
                factors};
    }
    return {WorkReadinessLevel::poor,
            score,
            u"Poor for work"_s,
            u"Internet is verified, but the connection quality looks weak or constrained."_s,
            u"Try another cafe Wi-Fi candidate or use a personal hotspot."_s,
            {u"Basic browsing"_s},
            factors};
}

} // namespace

WorkReadinessAssessment WorkReadinessAssessment::make(const WiFiSnapshot& snapshot,
                                                      const std::optional<NetworkPathStatus>& pathStatus,
                                                      bool isChecking)
{
    const ConnectionState& state = snapshot.connectionState;
    if (isChecking || state.kind() == ConnectionState::Kind::scanning)
        return checking();
    if (snapshot.portalState.isCaptive() || state.kind() == ConnectionState::Kind::captive)
        return portalBlocks();
    switch (state.kind()) {
    case ConnectionState::Kind::failed:
        return failed(state.message().value_or(QString()));
    case ConnectionState::Kind::ready:
        return ready(snapshot);
    case ConnectionState::Kind::offline:
        return offline();
    case ConnectionState::Kind::connected:
        return connected(snapshot, pathStatus);
    case ConnectionState::Kind::scanning:
    case ConnectionState::Kind::captive:
        break; // decided above
    }
    return checking();
}
