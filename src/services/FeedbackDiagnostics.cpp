#include "services/FeedbackDiagnostics.h"

#include <QLocale>
#include <QStringList>
#include <QSysInfo>

using namespace Qt::StringLiterals;

FeedbackDiagnostics FeedbackDiagnostics::capture(const WiFiSnapshot& snapshot, LocationAuthorizationStatus location,
                                                 const std::optional<NetworkPathStatus>& path, const BundleInfo& bundle)
{
    FeedbackDiagnostics diagnostics;
    diagnostics.appVersion = bundle.value(u"CFBundleShortVersionString"_s);
    diagnostics.buildNumber = bundle.value(u"CFBundleVersion"_s);
    diagnostics.macOSVersion = QSysInfo::prettyProductName();
    diagnostics.architecture = buildArchitecture();
    diagnostics.locale = QLocale().name();
    diagnostics.locationPermission = logValue(location);
    diagnostics.connectionState = snapshot.connectionState.analyticsValue();
    diagnostics.portalState = snapshot.portalState.analyticsValue();
    diagnostics.networkPath = networkPathValue(path);
    diagnostics.candidateCount = int(snapshot.candidates.size());
    diagnostics.openCandidateCount = int(snapshot.openCandidates().size());
    diagnostics.signalQualityBucket = signalQualityBucketFor(snapshot);
    return diagnostics;
}

QString FeedbackDiagnostics::networkPathValue(const std::optional<NetworkPathStatus>& path)
{
    if (!path)
        return u"unknown"_s;
    switch (path->kind()) {
    case NetworkPathStatus::Kind::Unsatisfied: return u"unsatisfied"_s;
    case NetworkPathStatus::Kind::RequiresConnection: return u"requires-connection"_s;
    case NetworkPathStatus::Kind::Satisfied: break;
    }
    if (path->isConstrained())
        return u"satisfied-constrained"_s;
    if (path->isExpensive())
        return u"satisfied-expensive"_s;
    return u"satisfied"_s;
}

QString FeedbackDiagnostics::signalQualityBucketFor(const WiFiSnapshot& snapshot)
{
    const auto& network = snapshot.currentNetwork ? snapshot.currentNetwork : snapshot.bestNetwork;
    const int quality = network ? network->quality : 0;
    if (quality >= 75)
        return u"strong"_s;
    if (quality >= 50)
        return u"fair"_s;
    if (quality >= 1)
        return u"weak"_s;
    return u"unknown"_s;
}

QString FeedbackDiagnostics::buildArchitecture()
{
#if defined(Q_PROCESSOR_ARM_64)
    return u"ARM64"_s;
#elif defined(Q_PROCESSOR_X86_64)
    return u"x86-64"_s;
#else
    return QSysInfo::buildCpuArchitecture();
#endif
}

QString FeedbackDiagnostics::previewText() const
{
    return QStringList{u"App: "_s + appVersion + u" ("_s + buildNumber + u")"_s,
                       u"macOS: "_s + macOSVersion,
                       u"Architecture: "_s + architecture,
                       u"Locale: "_s + locale,
                       u"Location permission: "_s + locationPermission,
                       u"Connection: "_s + connectionState,
                       u"Portal: "_s + portalState,
                       u"Network path: "_s + networkPath,
                       u"Nearby networks: "_s + QString::number(candidateCount) + u" total, "_s +
                           QString::number(openCandidateCount) + u" open"_s,
                       u"Signal quality: "_s + signalQualityBucket}
        .join(u'\n');
}

QJsonObject FeedbackDiagnostics::toJson() const
{
    return {{u"appVersion"_s, appVersion},
            {u"buildNumber"_s, buildNumber},
            {u"macOSVersion"_s, macOSVersion},
            {u"architecture"_s, architecture},
            {u"locale"_s, locale},
            {u"locationPermission"_s, locationPermission},
            {u"connectionState"_s, connectionState},
            {u"portalState"_s, portalState},
            {u"networkPath"_s, networkPath},
            {u"candidateCount"_s, candidateCount},
            {u"openCandidateCount"_s, openCandidateCount},
            {u"signalQualityBucket"_s, signalQualityBucket}};
}
