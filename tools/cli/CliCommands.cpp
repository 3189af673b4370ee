#include "CliCommands.h"

#include "CliJson.h"
#include "CliText.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/NetworkPathService.h"
#include "readiness/WorkReadinessAssessment.h"
#include "state/CheckedConnectionState.h"
#include "support/SystemBus.h"
#include "wifi/NetworkManagerWiFiAssociator.h"
#include "wifi/NetworkManagerWiFiPowerController.h"
#include "wifi/NetworkManagerWiFiScanner.h"
#include "wifi/PublicNetworkScorer.h"
#include "wifi/WiFiConnectionService.h"

using namespace Qt::StringLiterals;

namespace {

CliExitCode exitCodeFor(const WiFiConnectionOutcome& outcome)
{
    using Kind = WiFiConnectionOutcome::Kind;
    switch (outcome.kind()) {
    case Kind::connected:
        return CliExitCode::success;
    case Kind::captivePortal:
        return CliExitCode::captivePortal;
    case Kind::requiresPassword:
    case Kind::enterpriseUnsupported:
    case Kind::weakSignal:
    case Kind::requiresUserApproval:
        return CliExitCode::refused;
    case Kind::networkUnavailable:
        return CliExitCode::notFound;
    case Kind::interfaceUnavailable:
    case Kind::wifiOff:
    case Kind::serviceInactive:
        return CliExitCode::wifiUnavailable;
    case Kind::offlineAfterConnect:
    case Kind::failed:
        break;
    }
    return CliExitCode::failure;
}

// A snapshot that could not be taken: no device, or NetworkManager not answering.
bool isUnavailable(const WiFiSnapshot& snapshot, const std::optional<bool>& power)
{
    return !power.has_value() && snapshot.connectionState.kind() == ConnectionState::Kind::failed;
}

CliReport wifiOffReport(const QDateTime& now)
{
    const WiFiSnapshot snapshot = CheckedConnectionState::wifiOffSnapshot(now);
    return {CliExitCode::wifiUnavailable, u"Wi-Fi is off. Turn it on, then try again.\n"_s,
            {{u"snapshot"_s, CliJson::snapshot(snapshot, true)}}};
}

// The network the user named: the exact name first, else the one candidate whose trimmed,
// lower-cased name matches (candidates are already unique by that key).
// The network of that name; of an open and a secured one sharing it, the open one (the only kind joined).
std::optional<PublicNetworkCandidate> findCandidate(const WiFiSnapshot& snapshot, const QString& ssid)
{
    const QString key = ssid.trimmed().toLower();
    const auto matches = [&](const PublicNetworkCandidate& candidate, bool exact) {
        return exact ? candidate.ssid == ssid : candidate.ssid.trimmed().toLower() == key;
    };
    for (const bool exact : {true, false}) {
        std::optional<PublicNetworkCandidate> found;
        for (const auto& candidate : snapshot.candidates) {
            if (!matches(candidate, exact))
                continue;
            if (candidate.isOpen())
                return candidate;
            if (!found)
                found = candidate;
        }
        if (found)
            return found;
    }
    return std::nullopt;
}

} // namespace

CliCommands::Facility CliCommands::installed()
{
    const QDBusConnection bus = SystemBus::connection();
    auto associator = std::make_shared<NetworkManagerWiFiAssociator>(bus);
    return {
        std::make_shared<NetworkManagerWiFiScanner>(bus, std::make_shared<PublicNetworkScorer>()),
        std::make_shared<NetworkManagerWiFiPowerController>(bus),
        std::make_shared<NetworkPathService>(),
        std::make_shared<CaptivePortalService>(),
        std::make_shared<WiFiConnectionService>(associator),
    };
}

CliCommands::CliCommands(Facility facility, Progress progress)
    : m_facility(std::move(facility)), m_progress(std::move(progress))
{
}

void CliCommands::report(const QString& step) const
{
    if (m_progress)
        m_progress(step);
}

QCoro::Task<CliReport> CliCommands::run(CliArguments arguments)
{
    switch (arguments.command) {
    case CliArguments::Command::scan:
        co_return co_await scan();
    case CliArguments::Command::status:
        co_return co_await status();
    case CliArguments::Command::check:
        co_return co_await check();
    case CliArguments::Command::join:
        co_return co_await join(arguments.ssid, arguments.allowWeakSignal);
    case CliArguments::Command::help:
    case CliArguments::Command::version:
        break;
    }
    co_return CliReport{CliExitCode::usage, CliArguments::usage(), {}};
}

QCoro::Task<CliReport> CliCommands::scan()
{
    const std::optional<bool> power = co_await m_facility.power->currentPowerState();
    if (power == false)
        co_return wifiOffReport(QDateTime::currentDateTime());
    report(u"Scanning for networks…"_s);
    const WiFiSnapshot snapshot = co_await m_facility.scanner->latestSnapshot();
    CliReport result{CliExitCode::success, CliText::networks(snapshot), {{u"snapshot"_s, CliJson::snapshot(snapshot, true)}}};
    if (snapshot.connectionState.kind() == ConnectionState::Kind::failed)
        result.exitCode = isUnavailable(snapshot, power) ? CliExitCode::wifiUnavailable : CliExitCode::failure;
    co_return result;
}

QCoro::Task<CliReport> CliCommands::status()
{
    const std::optional<bool> power = co_await m_facility.power->currentPowerState();
    if (power == false)
        co_return wifiOffReport(QDateTime::currentDateTime());
    const NetworkPathStatus path = co_await m_facility.path->currentStatus();
    const WiFiSnapshot snapshot = co_await m_facility.scanner->latestSnapshot();
    CliReport result{CliExitCode::success, CliText::status(snapshot, path),
                     {{u"snapshot"_s, CliJson::snapshot(snapshot, false)}, {u"path"_s, CliJson::path(path)}}};
    if (isUnavailable(snapshot, power))
        result.exitCode = CliExitCode::wifiUnavailable;
    co_return result;
}

QCoro::Task<CliReport> CliCommands::check()
{
    const std::optional<bool> power = co_await m_facility.power->currentPowerState();
    const NetworkPathStatus path = co_await m_facility.path->currentStatus();

    WiFiSnapshot snapshot;
    if (power == false) {
        snapshot = CheckedConnectionState::wifiOffSnapshot(QDateTime::currentDateTime());
    } else {
        report(u"Scanning for networks…"_s);
        snapshot = co_await m_facility.scanner->latestSnapshot();
        const bool scanFailed = snapshot.connectionState.kind() == ConnectionState::Kind::failed;
        PortalState portal = PortalState::unknown();
        if (path.isSatisfied()) {
            report(u"Checking the detection page…"_s);
            portal = co_await m_facility.portal->detectPortal();
        }
        snapshot.portalState = portal;
        // A wired path can still be online when the Wi-Fi scan failed; the scan's message stays otherwise.
        if (snapshot.currentSSID && path.isSatisfied())
            snapshot.connectionState = CheckedConnectionState::joined(*snapshot.currentSSID, portal);
        else if (path.isSatisfied())
            snapshot.connectionState = CheckedConnectionState::withoutVisibleSSID(portal);
        else if (!scanFailed)
            snapshot.connectionState = ConnectionState::offline();
    }

    const auto assessment = WorkReadinessAssessment::make(snapshot, path, false);
    CliReport result{CliExitCode::failure, CliText::check(snapshot, path, assessment),
                     {{u"snapshot"_s, CliJson::snapshot(snapshot, false)},
                      {u"path"_s, CliJson::path(path)},
                      {u"workReady"_s, CliJson::assessment(assessment)}}};
    if (snapshot.portalState.kind() == PortalState::Kind::online)
        result.exitCode = CliExitCode::success;
    else if (snapshot.portalState.isCaptive())
        result.exitCode = CliExitCode::captivePortal;
    else if (power == false || (isUnavailable(snapshot, power) && !path.isSatisfied()))
        result.exitCode = CliExitCode::wifiUnavailable;
    co_return result;
}

QCoro::Task<CliReport> CliCommands::join(QString ssid, bool allowWeakSignal)
{
    const std::optional<bool> power = co_await m_facility.power->currentPowerState();
    if (power == false) {
        const auto outcome = WiFiConnectionOutcome::wifiOff();
        co_return CliReport{exitCodeFor(outcome), CliText::outcome(ssid, outcome), CliJson::outcome(outcome)};
    }
    report(u"Looking for %1…"_s.arg(ssid));
    const WiFiSnapshot snapshot = co_await m_facility.scanner->latestSnapshot();
    WiFiConnectionOutcome outcome = WiFiConnectionOutcome::interfaceUnavailable();
    const std::optional<PublicNetworkCandidate> candidate = findCandidate(snapshot, ssid);
    if (!isUnavailable(snapshot, power) && !candidate)
        outcome = WiFiConnectionOutcome::networkUnavailable(ssid);
    if (!isUnavailable(snapshot, power) && candidate) {
        report(u"Joining %1…"_s.arg(candidate->ssid));
        // A named request: GCC 12 destroys a braced temporary inside a co_await expression twice.
        const WiFiConnectionRequest request{*candidate, allowWeakSignal, true};
        outcome = co_await m_facility.connector->connect(request);
    }
    co_return CliReport{exitCodeFor(outcome), CliText::outcome(ssid, outcome), CliJson::outcome(outcome)};
}
