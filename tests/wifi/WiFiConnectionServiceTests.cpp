#include "ConnectionFakes.h"
#include "support/LogSinks.h"
#include "testkit/Await.h"
#include "wifi/WiFiConnectionService.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr quint64 retryPause = 700'000'000;
constexpr quint64 pathPause = 1'000'000'000;
const QUrl portalURL(u"http://portal.example/login"_s);

PublicNetworkCandidate network(NetworkSecurity security = NetworkSecurity::open, int quality = 80,
                               QString ssid = u"Cafe Guest"_s)
{
    PublicNetworkCandidate candidate;
    candidate.ssid = std::move(ssid);
    candidate.quality = quality;
    candidate.security = security;
    candidate.rssi = -58;
    return candidate;
}

struct Rig {
    explicit Rig(QList<WiFiAssociationStatus> joins,
                 QList<NetworkPathStatus> paths = {NetworkPathStatus::satisfied(false, false)},
                 QList<PortalState> portals = {PortalState::online()})
        : associator(std::make_shared<FakeAssociator>(std::move(joins))),
          pathMonitor(std::make_shared<FakePathMonitor>(std::move(paths))),
          portal(std::make_shared<FakePortalHandler>(std::move(portals))),
          sleeper(std::make_shared<RecordingSleeper>())
    {
    }

    WiFiConnectionService service(WiFiRetryPolicy retry = WiFiRetryPolicy{},
                                  WiFiPostAssociationPolicy post = WiFiPostAssociationPolicy{}) const
    {
        return WiFiConnectionService(WiFiConnectionService::Collaborators{associator, pathMonitor, portal, retry, post,
                                                                          sleeper, 35});
    }

    WiFiConnectionOutcome connect(PublicNetworkCandidate candidate, bool allowWeakSignal = false,
                                  bool userApproved = true) const
    {
        return await(service().connect(WiFiConnectionRequest{std::move(candidate), allowWeakSignal, userApproved}));
    }

    std::shared_ptr<FakeAssociator> associator;
    std::shared_ptr<FakePathMonitor> pathMonitor;
    std::shared_ptr<FakePortalHandler> portal;
    std::shared_ptr<RecordingSleeper> sleeper;
};

const WiFiAssociationStatus joined = WiFiAssociationStatus::associated();

} // namespace

TEST(WiFiConnectionService, UnapprovedRequestTouchesNothingAndLogsOnlyTheRejection)
{
    LogCapture logs;
    Rig rig({joined});
    EXPECT_EQ(rig.connect(network(), false, false), WiFiConnectionOutcome::requiresUserApproval());
    EXPECT_EQ(rig.associator->script.calls, 0);
    EXPECT_EQ(logs.messages(u"WiFiAssistant"_s), QStringList{u"Connection rejected: user approval missing"_s});
}

TEST(WiFiConnectionService, PasswordAndEnterpriseNetworksAreRefusedWhateverTheSignalFlag)
{
    Rig rig({joined});
    EXPECT_EQ(rig.connect(network(NetworkSecurity::personal), true), WiFiConnectionOutcome::requiresPassword(u"Cafe Guest"_s));
    EXPECT_EQ(rig.connect(network(NetworkSecurity::enterprise), true),
              WiFiConnectionOutcome::enterpriseUnsupported(u"Cafe Guest"_s));
    EXPECT_EQ(rig.associator->script.calls, 0);

    // A network of unknown security is attempted.
    EXPECT_EQ(rig.connect(network(NetworkSecurity::unknown, 60)), WiFiConnectionOutcome::connected(u"Cafe Guest"_s));
    EXPECT_EQ(rig.associator->script.calls, 1);
}

TEST(WiFiConnectionService, MinimumQualityIsInclusiveAndWaivedOnRequest)
{
    LogCapture logs;
    Rig rig({joined});
    EXPECT_EQ(rig.connect(network(NetworkSecurity::open, 34)), WiFiConnectionOutcome::weakSignal(u"Cafe Guest"_s, 34));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Connection rejected: weak signal, quality=34, minimum=35"_s));
    EXPECT_EQ(rig.associator->script.calls, 0);
    EXPECT_EQ(rig.connect(network(NetworkSecurity::open, 35)), WiFiConnectionOutcome::connected(u"Cafe Guest"_s));
    EXPECT_EQ(rig.connect(network(NetworkSecurity::open, 10), true), WiFiConnectionOutcome::connected(u"Cafe Guest"_s));
    EXPECT_EQ(rig.associator->script.calls, 2);
}

TEST(WiFiConnectionService, TransientStatusesAreRetriedWithPausesUntilTheAttemptsRunOut)
{
    LogCapture logs;
    Rig missing({WiFiAssociationStatus::networkNotFound()});
    EXPECT_EQ(missing.connect(network()), WiFiConnectionOutcome::networkUnavailable(u"Cafe Guest"_s));
    EXPECT_EQ(missing.associator->script.calls, 3);
    EXPECT_EQ(missing.sleeper->pauses, (QList<quint64>{retryPause, retryPause}));
    EXPECT_EQ(missing.pathMonitor->script.calls, 0);
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Connection outcome: network unavailable"_s));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s,
                              u"Association attempt will retry after transient status: networkNotFound"_s));

    Rig failing({WiFiAssociationStatus::failed(u"timeout"_s)});
    EXPECT_EQ(failing.connect(network()), WiFiConnectionOutcome::failed(u"Cafe Guest"_s, u"timeout"_s));
    EXPECT_EQ(failing.associator->script.calls, 3);
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Connection outcome: failed, message=timeout"_s));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Association attempt 3 status: failed(timeout)"_s))
        << logs.messages(u"WiFiAssistant"_s).join(u'\n').toStdString();

    Rig recovering({WiFiAssociationStatus::failed(u"x"_s), joined});
    EXPECT_EQ(recovering.connect(network()), WiFiConnectionOutcome::connected(u"Cafe Guest"_s));
    EXPECT_EQ(recovering.associator->script.calls, 2);
    EXPECT_EQ(recovering.sleeper->pauses, QList<quint64>{retryPause});
    EXPECT_EQ(recovering.pathMonitor->script.calls, 1);
}

TEST(WiFiConnectionService, RadioStatesEndTheJoinAtOnce)
{
    const QList<std::pair<WiFiAssociationStatus, WiFiConnectionOutcome>> table{
        {WiFiAssociationStatus::wifiOff(), WiFiConnectionOutcome::wifiOff()},
        {WiFiAssociationStatus::interfaceUnavailable(), WiFiConnectionOutcome::interfaceUnavailable()},
        {WiFiAssociationStatus::serviceInactive(), WiFiConnectionOutcome::serviceInactive()},
    };
    for (const auto& [status, outcome] : table) {
        Rig rig({status, joined});
        EXPECT_EQ(rig.connect(network()), outcome) << status.logValue().toStdString();
        EXPECT_EQ(rig.associator->script.calls, 1);
        EXPECT_TRUE(rig.sleeper->pauses.isEmpty());
        EXPECT_EQ(rig.pathMonitor->script.calls, 0);
    }
}

TEST(WiFiConnectionService, SatisfiedPathDecidesFromTheFirstProbe)
{
    const QList<std::pair<PortalState, WiFiConnectionOutcome>> table{
        {PortalState::online(), WiFiConnectionOutcome::connected(u"Cafe Guest"_s)},
        {PortalState::detected(portalURL), WiFiConnectionOutcome::captivePortal(u"Cafe Guest"_s, portalURL)},
        {PortalState::suspected(portalURL), WiFiConnectionOutcome::captivePortal(u"Cafe Guest"_s, portalURL)},
        {PortalState::suspected(std::nullopt), WiFiConnectionOutcome::captivePortal(u"Cafe Guest"_s, std::nullopt)},
        {PortalState::unknown(), WiFiConnectionOutcome::offlineAfterConnect(u"Cafe Guest"_s)},
        {PortalState::unavailable(), WiFiConnectionOutcome::offlineAfterConnect(u"Cafe Guest"_s)},
    };
    for (const auto& [portal, outcome] : table) {
        Rig rig({joined}, {NetworkPathStatus::satisfied(true, false)}, {portal, PortalState::online()});
        EXPECT_EQ(rig.connect(network()), outcome) << portal.logValue().toStdString();
        EXPECT_EQ(rig.pathMonitor->script.calls, 1);
        EXPECT_EQ(rig.portal->script.calls, 1);
        EXPECT_TRUE(rig.sleeper->pauses.isEmpty());
    }
}

TEST(WiFiConnectionService, PathThatStaysDownIsCheckedFourTimesWithThreePauses)
{
    LogCapture logs;
    Rig rig({joined}, {NetworkPathStatus::unsatisfied()}, {PortalState::online()});
    EXPECT_EQ(rig.connect(network()), WiFiConnectionOutcome::offlineAfterConnect(u"Cafe Guest"_s));
    EXPECT_EQ(rig.pathMonitor->script.calls, 4);
    EXPECT_EQ(rig.portal->script.calls, 4);
    EXPECT_EQ(rig.sleeper->pauses, (QList<quint64>{pathPause, pathPause, pathPause}));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Post-association path stayed offline after 4 checks"_s));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Post-association outcome: offline_after_connect"_s));

    // A path that comes up on the third check stops the waiting there.
    Rig later({joined},
              {NetworkPathStatus::unsatisfied(), NetworkPathStatus::requiresConnection(),
               NetworkPathStatus::satisfied(false, false)},
              {PortalState::unavailable(), PortalState::unavailable(), PortalState::online()});
    EXPECT_EQ(later.connect(network()), WiFiConnectionOutcome::connected(u"Cafe Guest"_s));
    EXPECT_EQ(later.pathMonitor->script.calls, 3);
    EXPECT_EQ(later.sleeper->pauses.size(), 2);
}

TEST(WiFiConnectionService, PortalSeenWhilePathIsDownEndsVerificationWithoutPause)
{
    Rig rig({WiFiAssociationStatus::alreadyAssociated()}, {NetworkPathStatus::requiresConnection()},
            {PortalState::detected(portalURL)});
    EXPECT_EQ(rig.connect(network()), WiFiConnectionOutcome::captivePortal(u"Cafe Guest"_s, portalURL));
    EXPECT_EQ(rig.pathMonitor->script.calls, 1);
    EXPECT_TRUE(rig.sleeper->pauses.isEmpty());
}

TEST(WiFiConnectionService, PoliciesHaveAFloorOfOne)
{
    Rig rig({WiFiAssociationStatus::networkNotFound(), joined}, {NetworkPathStatus::unsatisfied()},
            {PortalState::online()});
    auto service = rig.service(WiFiRetryPolicy{0, retryPause}, WiFiPostAssociationPolicy{-1, pathPause});
    EXPECT_EQ(await(service.connect(WiFiConnectionRequest{network(), false, true})),
              WiFiConnectionOutcome::networkUnavailable(u"Cafe Guest"_s));
    EXPECT_EQ(rig.associator->script.calls, 1);

    Rig joining({joined}, {NetworkPathStatus::unsatisfied()}, {PortalState::online()});
    auto oneCheck = joining.service(WiFiRetryPolicy{0, retryPause}, WiFiPostAssociationPolicy{-1, pathPause});
    EXPECT_EQ(await(oneCheck.connect(WiFiConnectionRequest{network(), false, true})),
              WiFiConnectionOutcome::offlineAfterConnect(u"Cafe Guest"_s));
    EXPECT_EQ(joining.pathMonitor->script.calls, 1);
    EXPECT_TRUE(joining.sleeper->pauses.isEmpty());
}
