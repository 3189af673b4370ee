#include "CliText.h"

#include "connectivity/NetworkPathStatus.h"
#include "readiness/WorkReadinessAssessment.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiSnapshot.h"

using namespace Qt::StringLiterals;

namespace {

QString pathText(const std::optional<NetworkPathStatus>& path)
{
    if (!path)
        return u"not read"_s;
    if (!path->isSatisfied())
        return path->kind() == NetworkPathStatus::Kind::RequiresConnection ? u"needs a connection"_s : u"no usable path"_s;
    QStringList flags;
    if (path->isExpensive())
        flags.append(u"expensive"_s);
    if (path->isConstrained())
        flags.append(u"constrained"_s);
    return flags.isEmpty() ? u"usable"_s : u"usable (%1)"_s.arg(flags.join(u", "_s));
}

QString radioText(const WiFiSnapshot& snapshot)
{
    QStringList parts;
    const auto& details = snapshot.interfaceDetails;
    if (!details)
        return {};
    if (details->rssi)
        parts.append(u"signal %1 dBm"_s.arg(*details->rssi));
    if (details->noise)
        parts.append(u"noise %1 dBm"_s.arg(*details->noise));
    if (details->channel)
        parts.append(u"channel %1"_s.arg(*details->channel));
    if (details->transmitRate)
        parts.append(u"%1 Mbit/s"_s.arg(*details->transmitRate, 0, 'f', 0));
    if (details->phyMode)
        parts.append(*details->phyMode);
    return parts.join(u", "_s);
}

QString headline(const WiFiSnapshot& snapshot)
{
    QString line = u"Connection: "_s + snapshot.connectionState.title();
    if (const auto message = snapshot.connectionState.message())
        line += u" ("_s + *message + u")"_s;
    return line;
}

} // namespace

namespace CliText {

QString networks(const WiFiSnapshot& snapshot)
{
    if (snapshot.candidates.isEmpty())
        return snapshot.connectionState.message().value_or(u"No networks found."_s) + u"\n"_s;
    QString text;
    for (const auto& candidate : snapshot.candidates) {
        const bool joined = snapshot.currentSSID == candidate.ssid;
        const QString signal = candidate.rssi ? u"%1 dBm"_s.arg(*candidate.rssi) : QString();
        text += u"%1 %2%  %3  %4  %5  %6\n"_s.arg(joined ? u"*"_s : u" "_s)
                    .arg(candidate.quality, 3)
                    .arg(QualityFormatter::label(candidate.quality), -9)
                    .arg(rawValue(candidate.security), -10)
                    .arg(signal, -7)
                    .arg(candidate.ssid);
    }
    return text;
}

QString status(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& path)
{
    QString text = headline(snapshot) + u"\n"_s;
    if (snapshot.currentNetwork)
        text += u"Network: %1 (%2%, %3)\n"_s.arg(snapshot.currentNetwork->ssid,
                                                        QString::number(snapshot.currentNetwork->quality),
                                                        snapshot.currentNetwork->detail);
    else if (snapshot.currentSSID)
        text += u"Network: %1\n"_s.arg(*snapshot.currentSSID);
    if (snapshot.interfaceDetails && snapshot.interfaceDetails->interfaceName)
        text += u"Interface: %1\n"_s.arg(*snapshot.interfaceDetails->interfaceName);
    if (const QString radio = radioText(snapshot); !radio.isEmpty())
        text += u"Radio: %1\n"_s.arg(radio);
    text += u"Path: %1\n"_s.arg(pathText(path));
    return text;
}

QString check(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& path,
              const WorkReadinessAssessment& assessment)
{
    QString text = headline(snapshot) + u"\n"_s;
    text += u"Path: %1\n"_s.arg(pathText(path));
    text += u"Portal: %1\n"_s.arg(snapshot.portalState.logValue());
    text += u"Work-Ready: %1"_s.arg(assessment.title);
    if (assessment.score)
        text += u" (score %1)"_s.arg(*assessment.score);
    text += u"\n  %1\n"_s.arg(assessment.detail);
    if (!assessment.recommendation.isEmpty())
        text += u"  %1\n"_s.arg(assessment.recommendation);
    for (const QString& factor : assessment.limitingFactors)
        text += u"  - %1\n"_s.arg(factor);
    return text;
}

QString outcome(const QString& requestedSSID, const WiFiConnectionOutcome& outcome)
{
    const QString ssid = outcome.ssid().value_or(requestedSSID);
    switch (outcome.kind()) {
    case WiFiConnectionOutcome::Kind::connected:
        return u"Joined %1. %2\n"_s.arg(ssid, outcome.detail());
    case WiFiConnectionOutcome::Kind::captivePortal: {
        QString text = u"Joined %1, but a portal page must be passed first. %2\n"_s.arg(ssid, outcome.detail());
        if (outcome.url())
            text += u"Portal: %1\n"_s.arg(outcome.url()->toString());
        return text;
    }
    case WiFiConnectionOutcome::Kind::offlineAfterConnect:
        return u"Joined %1, but there is no internet: %2\n"_s.arg(ssid, outcome.detail());
    default:
        return u"Not joined %1: %2\n"_s.arg(ssid, outcome.detail());
    }
}

} // namespace CliText
