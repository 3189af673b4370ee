#include "connectivity/PlainHTTPExchange.h"

#include "connectivity/HTTPResponseReader.h"
#include "connectivity/NetworkURLSession.h"

#include <QCoroSignal>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// One read takes at most this much; the socket holds no more than this unread either.
constexpr qint64 readChunk = 16 * 1024;

// Bytes that would end a line or a field early (CR, LF, NUL, spaces, controls) never go into the head.
bool isSafeField(QByteArrayView text, bool allowSpace)
{
    return std::none_of(text.begin(), text.end(), [allowSpace](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 ? byte != '\t' || !allowSpace : byte == 0x7f || (byte == ' ' && !allowSpace);
    });
}

QByteArray hostField(const QUrl& url)
{
    const QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    const QByteArray bracketed = QHostAddress(QString::fromLatin1(host)).protocol() == QAbstractSocket::IPv6Protocol
                                     ? '[' + host + ']'
                                     : host;
    const int port = url.port(80);
    return port == 80 ? bracketed : bracketed + ':' + QByteArray::number(port);
}

} // namespace

bool PlainHTTPExchange::handles(const HTTPRequest& request)
{
    return request.url.isValid() && request.url.scheme() == u"http"_s && !request.url.host().isEmpty() &&
           (request.method.isEmpty() || request.method == "GET") && request.body.isEmpty();
}

std::optional<QByteArray> PlainHTTPExchange::requestHead(const HTTPRequest& request)
{
    QByteArray target = request.url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!target.startsWith('/'))
        target.prepend('/');
    const QByteArray host = hostField(request.url);
    if (!isSafeField(target, false) || host.isEmpty() || !isSafeField(host, false))
        return std::nullopt;
    QByteArray head = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    bool hasUserAgent = false;
    for (const auto& [name, value] : request.headers) {
        const QByteArrayView key(name);
        if (key.compare("Host", Qt::CaseInsensitive) == 0 || key.compare("Connection", Qt::CaseInsensitive) == 0)
            continue;
        if (name.isEmpty() || name.contains(':') || !isSafeField(name, false) || !isSafeField(value, true))
            return std::nullopt;
        hasUserAgent = hasUserAgent || key.compare("User-Agent", Qt::CaseInsensitive) == 0;
        head += name + ": " + value + "\r\n";
    }
    // What any browser-like client sends; some portals answer nothing without one.
    if (!hasUserAgent)
        head += "User-Agent: Mozilla/5.0\r\n";
    head += "Accept: */*\r\nConnection: close\r\n\r\n";
    return head;
}

QCoro::Task<URLSessionResult> PlainHTTPExchange::get(HTTPRequest request, Limits limits)
{
    const std::optional<QByteArray> head = requestHead(request);
    if (!head)
        co_return URLSessionResult::failure(u"The request could not be sent: its address holds bytes HTTP cannot carry."_s);

    PlainHTTPExchange exchange;
    HTTPResponseReader reader(limits.maxBodyBytes);
    std::optional<QString> failure;
    bool done = false;
    QTimer idle;
    QTimer whole;
    idle.setSingleShot(true);
    whole.setSingleShot(true);
    QTcpSocket socket;
    // A socket still open when this frame is destroyed (the app quitting mid-probe) signals from its
    // destructor; by then nothing here may answer.
    const auto detach = qScopeGuard([&] { QObject::disconnect(&socket, nullptr, &exchange, nullptr); });
    // The probe must meet the network itself, whatever proxy the application may have been given.
    socket.setProxy(QNetworkProxy::NoProxy);
    socket.setReadBufferSize(readChunk);

    const auto end = [&](std::optional<QString> error) {
        if (done)
            return;
        done = true;
        failure = std::move(error);
        idle.stop();
        whole.stop();
        socket.abort();
        Q_EMIT exchange.finished();
    };
    const auto drain = [&] {
        while (!done && socket.bytesAvailable() > 0) {
            const QByteArray chunk = socket.read(readChunk);
            if (reader.feed(chunk) != HTTPResponseReader::Progress::needMore)
                end(reader.error());
        }
    };
    const auto closed = [&] {
        drain();
        if (!done)
            end(reader.finish() == HTTPResponseReader::Progress::complete ? std::nullopt : reader.error());
    };

    // Every sign of life starts the wait for the next one again; a limit of 0 is no limit.
    const auto restartIdle = [&] {
        if (limits.idleTimeout > std::chrono::milliseconds::zero())
            idle.start(limits.idleTimeout);
    };
    QObject::connect(&idle, &QTimer::timeout, &exchange, [&] { end(NetworkURLSession::timeoutDescription()); });
    QObject::connect(&whole, &QTimer::timeout, &exchange, [&] { end(NetworkURLSession::timeoutDescription()); });
    QObject::connect(&socket, &QTcpSocket::connected, &exchange, [&] {
        restartIdle();
        socket.write(*head);
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, &exchange, [&] {
        restartIdle();
        drain();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &exchange, closed);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &exchange, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            closed();
        else
            end(socket.errorString().isEmpty() ? u"The request failed."_s : socket.errorString());
    });

    restartIdle();
    if (limits.wholeTimeout > std::chrono::milliseconds::zero())
        whole.start(limits.wholeTimeout);
    socket.connectToHost(request.url.host(), quint16(request.url.port(80)));
    if (!done)
        co_await qCoro(&exchange, &PlainHTTPExchange::finished);

    if (failure)
        co_return URLSessionResult::failure(*failure);
    HTTPResponse response = reader.response();
    response.url = request.url;
    URLSessionResult result = URLSessionResult::success(reader.body(), std::move(response));
    result.bodyTruncated = reader.bodyTruncated();
    co_return result;
}
