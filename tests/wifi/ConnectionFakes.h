#pragma once

// Scripted stand-ins for the connection service's collaborators; each counts its calls.
#include "connectivity/CaptivePortalHandling.h"
#include "connectivity/NetworkPathMonitoring.h"
#include "wifi/PortalState.h"
#include "wifi/RetrySleeping.h"
#include "wifi/WiFiAssociating.h"
#include "wifi/WiFiAssociationStatus.h"
#include "wifi/WiFiConnecting.h"
#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiConnectionRequest.h"

#include <QList>

// Answers from the script in order; the last answer repeats once the script runs out.
template <typename T> class Script {
public:
    explicit Script(QList<T> answers) : m_answers(std::move(answers)) {}
    T next()
    {
        ++calls;
        return m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.first();
    }
    int calls = 0;

private:
    QList<T> m_answers;
};

class FakeAssociator : public WiFiAssociating {
public:
    explicit FakeAssociator(QList<WiFiAssociationStatus> answers) : script(std::move(answers)) {}
    QCoro::Task<WiFiAssociationStatus> associate(PublicNetworkCandidate candidate) override
    {
        joined.append(candidate);
        co_return script.next();
    }
    Script<WiFiAssociationStatus> script;
    QList<PublicNetworkCandidate> joined;
};

class FakePathMonitor : public NetworkPathMonitoring {
public:
    explicit FakePathMonitor(QList<NetworkPathStatus> answers) : script(std::move(answers)) {}
    QCoro::Task<NetworkPathStatus> currentStatus() override { co_return script.next(); }
    Script<NetworkPathStatus> script;
};

class FakePortalHandler : public CaptivePortalHandling {
public:
    explicit FakePortalHandler(QList<PortalState> answers) : script(std::move(answers)) {}
    QCoro::Task<PortalState> detectPortal() override { co_return script.next(); }
    Script<PortalState> script;
};

// Records every pause instead of waiting.
class RecordingSleeper : public RetrySleeping {
public:
    QCoro::Task<> sleep(quint64 nanoseconds) override
    {
        pauses.append(nanoseconds);
        co_return;
    }
    QList<quint64> pauses;
};

class FakeConnector : public WiFiConnecting {
public:
    explicit FakeConnector(QList<WiFiConnectionOutcome> answers) : script(std::move(answers)) {}
    QCoro::Task<WiFiConnectionOutcome> connect(WiFiConnectionRequest request) override
    {
        requests.append(request);
        co_return script.next();
    }
    Script<WiFiConnectionOutcome> script;
    QList<WiFiConnectionRequest> requests;
};
