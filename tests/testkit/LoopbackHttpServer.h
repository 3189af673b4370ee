#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QTcpSocket;

// One scripted answer of the loopback server.
struct LoopbackHttpResponse {
    int status = 200;
    QByteArray reason; // empty: a standard phrase for the status
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::chrono::milliseconds delay{0};
    bool neverAnswer = false;     // read the request, then stay silent with the connection open
    std::optional<QByteArray> raw; // bytes sent verbatim instead of a composed answer, then closed
    // After the head (no length), this chunk again and again until the client hangs up.
    std::optional<QByteArray> endlessChunk;

    static LoopbackHttpResponse text(int status, QByteArray body);
    static LoopbackHttpResponse endless(int status, QByteArray chunk);
    static LoopbackHttpResponse redirect(int status, QByteArray location);
    static LoopbackHttpResponse silent();
    static LoopbackHttpResponse rawBytes(QByteArray bytes);
};

// One request as the server received it.
struct LoopbackHttpRequest {
    QByteArray method;
    QByteArray target; // path and query as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int connection = 0; // 1-based number of the connection it came on

    std::optional<QByteArray> header(QByteArrayView name) const;
};

// A small HTTP/1.1 server on 127.0.0.1 with per-path scripted answers and a record of every request.
// It runs on the thread that creates it, so tests drive it by spinning that thread's event loop (as
// QCoro::waitFor does). Unknown paths answer 404.
class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<LoopbackHttpResponse(const LoopbackHttpRequest&)>;

    explicit LoopbackHttpServer(QObject* parent = nullptr);
    ~LoopbackHttpServer() override;

    quint16 port() const { return m_server.serverPort(); }
    // http://<host>:<port><path>; host defaults to the address the server listens on.
    QUrl url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const;

    void route(const QByteArray& path, LoopbackHttpResponse response);
    void route(const QByteArray& path, Handler handler);

    QList<LoopbackHttpRequest> requests() const { return m_requests; }
    QList<LoopbackHttpRequest> requests(const QByteArray& path) const;
    int connectionCount() const { return m_connections; }
    // Bytes of endless answers written so far, all connections together.
    qint64 streamedBytes() const { return m_streamedBytes; }

private:
    void onNewConnection();
    void onReadable(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const LoopbackHttpRequest& request);
    void send(QTcpSocket* socket, const LoopbackHttpResponse& response, bool close);
    void stream(QTcpSocket* socket, const QByteArray& chunk);

    QTcpServer m_server;
    QHash<QByteArray, Handler> m_routes;
    QList<LoopbackHttpRequest> m_requests;
    int m_connections = 0;
    qint64 m_streamedBytes = 0;
};
