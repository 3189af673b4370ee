#include "portal/helper/PortalHelperConnection.h"

#include "support/Logger.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const Logger& logger()
{
    static const Logger instance(u"PortalHelper"_s);
    return instance;
}

// The descriptor the helper finds its end of the socket pair on.
constexpr int helperDescriptor = 3;
constexpr qint64 readChunk = 16 * 1024;
constexpr auto endGrace = std::chrono::seconds(5);

} // namespace

PortalHelperConnection::PortalHelperConnection(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options))
{
    m_heartbeat.setInterval(m_options.heartbeat);
    connect(&m_heartbeat, &QTimer::timeout, this, &PortalHelperConnection::beat);
}

PortalHelperConnection::~PortalHelperConnection()
{
    if (m_socket)
        m_socket->disconnect(this);
    if (!m_process)
        return;
    m_process->disconnect(this);
    if (m_process->state() == QProcess::NotRunning) {
        delete m_process;
        return;
    }
    // Closing our end tells the helper to go; it is not waited for here.
    if (m_socket)
        m_socket->abort();
    // The application holds it meanwhile, so one still running at exit is killed and reaped then.
    QProcess* process = m_process;
    process->setParent(QCoreApplication::instance());
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(endGrace, process, [process] { process->kill(); });
}

void PortalHelperConnection::start()
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        fail({PortalHelperFailure::Kind::unavailable, u"no socket pair"_s});
        return;
    }
    const int childEnd = pair[1];
    m_socket = new QLocalSocket(this);
    if (!m_socket->setSocketDescriptor(pair[0])) {
        ::close(pair[0]);
        ::close(childEnd);
        fail({PortalHelperFailure::Kind::unavailable, u"socket not usable"_s});
        return;
    }
    connect(m_socket, &QLocalSocket::readyRead, this, &PortalHelperConnection::readAvailable);
    connect(m_socket, &QLocalSocket::disconnected, this, [this] {
        // The process's own end usually follows at once and says more (crash or exit).
        // On a busy machine that can come later than this, so the process is asked directly too.
        QTimer::singleShot(1000, this, [this] {
            if (m_endExpected)
                return;
            fail(processEnd().value_or(PortalHelperFailure{PortalHelperFailure::Kind::exited,
                                                           u"closed its end of the socket"_s}));
        });
    });

    m_process = new QProcess(this);
    m_process->setProgram(m_options.program);
    m_process->setArguments(m_options.arguments + QStringList{u"--socket-fd"_s, QString::number(helperDescriptor)});
    // Its log lines join the tray's; the environment (sanitizer options included) is inherited.
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setChildProcessModifier([childEnd] {
        // In the child between fork and exec: async-signal-safe calls only.
        if (childEnd == helperDescriptor)
            ::fcntl(childEnd, F_SETFD, 0);
        else
            ::dup2(childEnd, helperDescriptor);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail({PortalHelperFailure::Kind::unavailable, m_process->errorString()});
    });
    connect(m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) { processFinished(exitCode, int(status)); });
    m_process->start();
    ::close(childEnd);
    if (m_failed)
        return;
    PortalHelperMessage hello = PortalHelperMessage::ofType(PortalHelperMessage::Type::hello);
    hello.version = PortalHelperProtocol::version;
    write(hello);
    m_sinceHeard.start();
    m_heartbeat.start();
    logger().log("Portal helper started: pid=%{public}lld", qint64(m_process->processId()));
}

void PortalHelperConnection::send(const PortalHelperMessage& message)
{
    if (m_failed)
        return;
    if (!m_greeted) {
        m_queued.append(message);
        return;
    }
    write(message);
}

void PortalHelperConnection::expectEnd()
{
    m_endExpected = true;
    m_heartbeat.stop();
}

qint64 PortalHelperConnection::processId() const
{
    return m_process ? qint64(m_process->processId()) : 0;
}

void PortalHelperConnection::write(const PortalHelperMessage& message)
{
    if (m_socket && m_socket->state() == QLocalSocket::ConnectedState)
        m_socket->write(PortalHelperProtocol::frame(message));
}

void PortalHelperConnection::readAvailable()
{
    while (!m_failed && m_socket && m_socket->bytesAvailable() > 0) {
        m_decoder.append(m_socket->read(readChunk));
        m_sinceHeard.start();
        while (const std::optional<PortalHelperMessage> message = m_decoder.next()) {
            if (message->type == PortalHelperMessage::Type::hello) {
                m_greeted = true;
                const QList<PortalHelperMessage> queued = std::exchange(m_queued, {});
                for (const PortalHelperMessage& waiting : queued)
                    write(waiting);
                continue;
            }
            if (message->type == PortalHelperMessage::Type::pong) {
                // Only an answer to a ping that went out counts.
                if (message->sequence < 1 || message->sequence >= m_nextPing) {
                    fail({PortalHelperFailure::Kind::protocol, u"pong to no ping"_s});
                    return;
                }
                continue;
            }
            const QPointer<PortalHelperConnection> self(this);
            Q_EMIT received(*message);
            if (!self || m_failed)
                return;
        }
        if (const auto& error = m_decoder.error()) {
            fail({PortalHelperFailure::Kind::protocol, PortalHelperProtocol::errorName(*error)});
            return;
        }
    }
}

void PortalHelperConnection::processFinished(int exitCode, int exitStatus)
{
    logger().log("Portal helper process ended: crashed=%{bool,public}d, exitCode=%{public}d, expected=%{bool,public}d",
                 exitStatus == QProcess::CrashExit, exitCode, m_endExpected);
    m_heartbeat.stop();
    const QPointer<PortalHelperConnection> self(this);
    readAvailable();
    if (!self || m_endExpected)
        return;
    if (exitStatus == QProcess::CrashExit)
        fail({PortalHelperFailure::Kind::crashed, u"ended by a signal"_s});
    else
        fail({PortalHelperFailure::Kind::exited, u"exit code %1"_s.arg(exitCode)});
}

void PortalHelperConnection::beat()
{
    if (m_failed || m_endExpected)
        return;
    // The process's end is looked at here too: its exit notice and the socket's end of file can both
    // be late or missing (a grandchild still holding the socket), and a dead helper must not wait out
    // the silence bound.
    if (const std::optional<PortalHelperFailure> ended = processEnd()) {
        // What it said before it went (a closed window, say) comes first.
        const QPointer<PortalHelperConnection> self(this);
        readAvailable();
        if (!self || m_failed || m_endExpected)
            return;
        fail(*ended);
        return;
    }
    if (m_sinceHeard.isValid() && m_sinceHeard.elapsed() > m_options.silence.count()) {
        fail({PortalHelperFailure::Kind::hung, u"silent for %1 ms"_s.arg(m_sinceHeard.elapsed())});
        return;
    }
    if (!m_greeted)
        return;
    PortalHelperMessage ping = PortalHelperMessage::ofType(PortalHelperMessage::Type::ping);
    ping.sequence = m_nextPing++;
    write(ping);
}

std::optional<PortalHelperFailure> PortalHelperConnection::processEnd() const
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return std::nullopt;
    const auto pid = pid_t(m_process->processId());
    if (pid <= 0)
        return std::nullopt;
    siginfo_t info{};
    // WNOWAIT: the child stays for QProcess to reap. __WALL: it may have been started without SIGCHLD.
    if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT | __WALL) != 0 || info.si_pid != pid)
        return std::nullopt;
    if (info.si_code == CLD_EXITED)
        return PortalHelperFailure{PortalHelperFailure::Kind::exited, u"exit code %1"_s.arg(info.si_status)};
    return PortalHelperFailure{PortalHelperFailure::Kind::crashed, u"ended by a signal"_s};
}

void PortalHelperConnection::fail(PortalHelperFailure failure)
{
    if (m_failed)
        return;
    m_failed = true;
    m_heartbeat.stop();
    m_queued.clear();
    logger().error("Portal helper failed: category=%{public}s, detail=%{public}s", failure.category(), failure.detail);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->kill();
    QMetaObject::invokeMethod(this, [this, failure] { Q_EMIT failed(failure); }, Qt::QueuedConnection);
}
