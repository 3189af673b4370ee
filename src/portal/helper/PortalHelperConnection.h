#pragma once

#include "portal/helper/PortalHelperFailure.h"
#include "portal/helper/PortalHelperProtocol.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <optional>

class QLocalSocket;
class QProcess;

// The tray's side of one portal helper process: starts it with one end of a private socket pair as its
// descriptor 3, greets it, pings it, and reports exactly one failure when it crashes, exits, falls
// silent or breaks the protocol (the process is killed then). Main thread only.
class PortalHelperConnection : public QObject {
    Q_OBJECT
public:
    struct Options {
        explicit Options(QString program, QStringList arguments = {},
                         std::chrono::milliseconds heartbeat = std::chrono::seconds(2),
                         std::chrono::milliseconds silence = std::chrono::seconds(15))
            : program(std::move(program)), arguments(std::move(arguments)), heartbeat(heartbeat), silence(silence)
        {
        }

        QString program;
        QStringList arguments;
        std::chrono::milliseconds heartbeat;
        // No message at all for this long (a pong included) is a hang.
        std::chrono::milliseconds silence;
    };

    explicit PortalHelperConnection(Options options, QObject* parent = nullptr);
    // A helper still running is given a moment to end by itself, then killed.
    ~PortalHelperConnection() override;

    void start();
    // Sent once the helper has greeted; queued until then.
    void send(const PortalHelperMessage& message);
    // The helper is expected to end now: its exit is no failure.
    void expectEnd();
    qint64 processId() const;
    bool hasFailed() const { return m_failed; }

Q_SIGNALS:
    void received(const PortalHelperMessage& message);
    // Once, queued.
    void failed(const PortalHelperFailure& failure);

private:
    void readAvailable();
    void processFinished(int exitCode, int exitStatus);
    void beat();
    // How the process ended, when it has and QProcess has not said so yet.
    std::optional<PortalHelperFailure> processEnd() const;
    void fail(PortalHelperFailure failure);
    void write(const PortalHelperMessage& message);

    Options m_options;
    QProcess* m_process = nullptr;
    QPointer<QLocalSocket> m_socket;
    PortalHelperDecoder m_decoder{PortalHelperMessage::Sender::helper};
    QList<PortalHelperMessage> m_queued;
    QTimer m_heartbeat;
    QElapsedTimer m_sinceHeard;
    qint64 m_nextPing = 1;
    bool m_greeted = false;
    bool m_endExpected = false;
    bool m_failed = false;
};
