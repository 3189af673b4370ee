#pragma once

#include "connectivity/URLSessionProtocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Reads one HTTP/1.x answer from the bytes of a connection as they arrive: the head, then the body framed
// by Transfer-Encoding: chunked, Content-Length or the end of the connection. Everything it reads is
// bounded: a head longer than `maxHeadBytes` or a malformed one is an error, and the body stops at
// `maxBodyBytes` (kept, marked truncated), so an endless or hostile answer costs at most that much.
// Informational (1xx) heads are skipped.
class HTTPResponseReader {
public:
    enum class Progress { needMore, complete, failed };

    explicit HTTPResponseReader(qint64 maxBodyBytes, qint64 maxHeadBytes = 16 * 1024);

    // Takes the next bytes; once complete or failed, more bytes are ignored.
    Progress feed(QByteArrayView bytes);
    // The connection ended: an answer framed by the end is complete, any other unfinished one failed.
    Progress finish();

    Progress progress() const { return m_progress; }
    const std::optional<QString>& error() const { return m_error; }
    const HTTPResponse& response() const { return m_response; }
    const QByteArray& body() const { return m_body; }
    bool bodyTruncated() const { return m_truncated; }

    static QString notHTTPDescription() { return QStringLiteral("The answer was not HTTP."); }
    static QString incompleteDescription() { return QStringLiteral("The connection closed before the answer was complete."); }

private:
    enum class Stage { head, sizedBody, chunkSize, chunkData, chunkDataEnd, trailer, bodyToEnd };

    Progress fail(const QString& description);
    Progress complete();
    bool readHead();
    bool parseHead(QByteArrayView head);
    bool startBody();
    // Keeps body bytes up to the limit; true when the limit was passed (the answer is then complete).
    bool keep(QByteArrayView bytes);
    std::optional<QByteArray> takeLine(qsizetype maxLength);

    qint64 m_maxBody;
    qint64 m_maxHead;
    Stage m_stage = Stage::head;
    Progress m_progress = Progress::needMore;
    std::optional<QString> m_error;
    QByteArray m_pending;
    qint64 m_remaining = 0;
    HTTPResponse m_response;
    QByteArray m_body;
    bool m_truncated = false;
};
