#include "CliJson.h"

#include "connectivity/NetworkPathStatus.h"
#include "readiness/WorkReadinessAssessment.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiSnapshot.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace {

template <typename T> void insertIfPresent(QJsonObject& object, const QString& key, const std::optional<T>& value)
{
    if (value)
        object.insert(key, *value);
}

QString levelName(WorkReadinessLevel level)
{
    switch (level) {
    case WorkReadinessLevel::good:
        return u"good"_s;
    case WorkReadinessLevel::okay:
        return u"okay"_s;
    case WorkReadinessLevel::poor:
        return u"poor"_s;
    case WorkReadinessLevel::blocked:
        return u"blocked"_s;
    case WorkReadinessLevel::checking:
        break;
    }
    return u"checking"_s;
}

} // namespace

namespace CliJson {

QJsonObject candidate(const PublicNetworkCandidate& candidate)
{
    QJsonObject object{
        {u"ssid"_s, candidate.ssid},
        {u"quality"_s, candidate.quality},
        {u"qualityLabel"_s, QualityFormatter::label(candidate.quality)},
        {u"detail"_s, candidate.detail},
        {u"security"_s, rawValue(candidate.security)},
        {u"open"_s, candidate.isOpen()},
    };
    insertIfPresent(object, u"rssi"_s, candidate.rssi);
    insertIfPresent(object, u"noise"_s, candidate.noise);
    insertIfPresent(object, u"bssid"_s, candidate.bssid);
    insertIfPresent(object, u"channel"_s, candidate.channel);
    insertIfPresent(object, u"transmitRate"_s, candidate.transmitRate);
    insertIfPresent(object, u"phyMode"_s, candidate.phyMode);
    return object;
}

QJsonObject interfaceDetails(const WiFiInterfaceDetails& details)
{
    QJsonObject object;
    insertIfPresent(object, u"interfaceName"_s, details.interfaceName);
    insertIfPresent(object, u"bssid"_s, details.bssid);
    insertIfPresent(object, u"rssi"_s, details.rssi);
    insertIfPresent(object, u"noise"_s, details.noise);
    insertIfPresent(object, u"channel"_s, details.channel);
    insertIfPresent(object, u"transmitRate"_s, details.transmitRate);
    insertIfPresent(object, u"phyMode"_s, details.phyMode);
    insertIfPresent(object, u"countryCode"_s, details.countryCode);
    return object;
}

QJsonObject snapshot(const WiFiSnapshot& snapshot, bool withCandidates)
{
    QJsonObject connection{
        {u"state"_s, snapshot.connectionState.analyticsValue()},
        {u"title"_s, snapshot.connectionState.title()},
    };
    insertIfPresent(connection, u"ssid"_s, snapshot.connectionState.ssid());
    insertIfPresent(connection, u"message"_s, snapshot.connectionState.message());

    QJsonObject portal{{u"state"_s, snapshot.portalState.analyticsValue()}};
    if (snapshot.portalState.portalURL())
        portal.insert(u"url"_s, snapshot.portalState.portalURL()->toString());

    QJsonObject object{{u"connection"_s, connection}, {u"portal"_s, portal}};
    insertIfPresent(object, u"currentSSID"_s, snapshot.currentSSID);
    if (snapshot.currentNetwork)
        object.insert(u"currentNetwork"_s, candidate(*snapshot.currentNetwork));
    if (snapshot.interfaceDetails)
        object.insert(u"interface"_s, interfaceDetails(*snapshot.interfaceDetails));
    if (withCandidates) {
        QJsonArray candidates;
        for (const auto& entry : snapshot.candidates)
            candidates.append(candidate(entry));
        object.insert(u"candidates"_s, candidates);
    }
    if (snapshot.lastUpdated.isValid())
        object.insert(u"lastUpdated"_s, snapshot.lastUpdated.toUTC().toString(Qt::ISODateWithMs));
    return object;
}

QJsonObject path(const std::optional<NetworkPathStatus>& status)
{
    if (!status)
        return {{u"state"_s, u"unknown"_s}};
    QJsonObject object{{u"state"_s, status->isSatisfied() ? u"satisfied"_s : status->logValue()}};
    if (status->isSatisfied()) {
        object.insert(u"expensive"_s, status->isExpensive());
        object.insert(u"constrained"_s, status->isConstrained());
    }
    return object;
}

QJsonObject outcome(const WiFiConnectionOutcome& outcome)
{
    QJsonObject object{{u"outcome"_s, outcome.analyticsValue()}, {u"detail"_s, outcome.detail()}};
    insertIfPresent(object, u"ssid"_s, outcome.ssid());
    if (outcome.url())
        object.insert(u"portalURL"_s, outcome.url()->toString());
    return object;
}

QJsonObject assessment(const WorkReadinessAssessment& assessment)
{
    QJsonObject object{
        {u"level"_s, levelName(assessment.level)},
        {u"title"_s, assessment.title},
        {u"detail"_s, assessment.detail},
        {u"recommendation"_s, assessment.recommendation},
        {u"capabilities"_s, QJsonArray::fromStringList(assessment.capabilities)},
        {u"limitingFactors"_s, QJsonArray::fromStringList(assessment.limitingFactors)},
    };
    insertIfPresent(object, u"score"_s, assessment.score);
    return object;
}

} // namespace CliJson
