#include "testkit/LoopbackHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

const char* reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LoopbackHttpResponse LoopbackHttpResponse::text(int status, QByteArray body)
{
    LoopbackHttpResponse response;
    response.status = status;
    response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    response.body = std::move(body);
    return response;
}

LoopbackHttpResponse LoopbackHttpResponse::endless(int status, QByteArray chunk)
{
    LoopbackHttpResponse response;
    response.status = status;
    response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    response.endlessChunk = std::move(chunk);
    return response;
}

LoopbackHttpResponse LoopbackHttpResponse::redirect(int status, QByteArray location)
{
    LoopbackHttpResponse response;
    response.status = status;
    response.headers = {{"Location", std::move(location)}};
    return response;
}

LoopbackHttpResponse LoopbackHttpResponse::silent()
{
    LoopbackHttpResponse response;
    response.neverAnswer = true;
    return response;
}

LoopbackHttpResponse LoopbackHttpResponse::rawBytes(QByteArray bytes)
{
    LoopbackHttpResponse response;
    response.raw = std::move(bytes);
    return response;
}

std::optional<QByteArray> LoopbackHttpRequest::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers) {
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

LoopbackHttpServer::LoopbackHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

LoopbackHttpServer::~LoopbackHttpServer() = default;

QUrl LoopbackHttpServer::url(const QString& path, const QString& host) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port());
    url.setPath(path);
    return url;
}

void LoopbackHttpServer::route(const QByteArray& path, LoopbackHttpResponse response)
{
    m_routes.insert(path, [response](const LoopbackHttpRequest&) { return response; });
}

void LoopbackHttpServer::route(const QByteArray& path, Handler handler) { m_routes.insert(path, std::move(handler)); }

QList<LoopbackHttpRequest> LoopbackHttpServer::requests(const QByteArray& path) const
{
    QList<LoopbackHttpRequest> matching;
    for (const auto& request : m_requests) {
        if (request.target.split('?').first() == path)
            matching.append(request);
    }
    return matching;
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        socket->setProperty("connection", ++m_connections);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LoopbackHttpServer::onReadable(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            break;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        LoopbackHttpRequest request;
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        request.connection = socket->property("connection").toInt();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
        }
        const qsizetype length = request.header("Content-Length").value_or("0").toLongLong();
        if (buffer.size() < headEnd + 4 + length)
            break;
        request.body = buffer.mid(headEnd + 4, length);
        buffer.remove(0, headEnd + 4 + length);
        m_requests.append(request);
        answer(socket, request);
    }
    socket->setProperty("buffer", buffer);
}

void LoopbackHttpServer::answer(QTcpSocket* socket, const LoopbackHttpRequest& request)
{
    const QByteArray path = request.target.split('?').first();
    const auto handler = m_routes.constFind(path);
    const LoopbackHttpResponse response =
        handler != m_routes.constEnd() ? (*handler)(request) : LoopbackHttpResponse::text(404, "Not Found");
    if (response.neverAnswer)
        return;
    const bool close = request.header("Connection").value_or(QByteArray()).toLower() == "close";
    if (response.delay <= std::chrono::milliseconds::zero()) {
        send(socket, response, close);
        return;
    }
    QTimer::singleShot(response.delay, socket, [this, socket, response, close] { send(socket, response, close); });
}

void LoopbackHttpServer::send(QTcpSocket* socket, const LoopbackHttpResponse& response, bool close)
{
    if (response.raw) {
        socket->write(*response.raw);
        socket->disconnectFromHost();
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      (response.reason.isEmpty() ? QByteArray(reasonFor(response.status)) : response.reason) + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    if (response.endlessChunk && !response.endlessChunk->isEmpty()) {
        // No length: the body runs until the connection closes, which only the client does.
        socket->write(head + "Connection: close\r\n\r\n");
        const QByteArray chunk = *response.endlessChunk;
        connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket, chunk] { stream(socket, chunk); });
        stream(socket, chunk);
        return;
    }
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (close)
        head += "Connection: close\r\n";
    socket->write(head + "\r\n" + response.body);
    if (close)
        socket->disconnectFromHost();
}

void LoopbackHttpServer::stream(QTcpSocket* socket, const QByteArray& chunk)
{
    // Keep a little queued so the writer never outruns the reader by more than that.
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 256 * 1024) {
        socket->write(chunk);
        m_streamedBytes += chunk.size();
    }
}
