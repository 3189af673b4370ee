#include "connectivity/HTTPResponseReader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxHeaderCount = 100;
constexpr qsizetype maxChunkLine = 1024;

bool isTokenChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QByteArrayView withoutCarriageReturn(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// "HTTP/1.x NNN[ reason]": the status, or nothing when the line is not an HTTP/1 status line.
std::optional<int> statusOf(QByteArrayView line)
{
    if (line.size() < 12 || !line.startsWith("HTTP/1.") || !isDigits(line.sliced(7, 1)) || line[8] != ' ')
        return std::nullopt;
    const QByteArrayView code = line.sliced(9, 3);
    if (!isDigits(code) || (line.size() > 12 && line[12] != ' '))
        return std::nullopt;
    return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

QString malformedHeadDescription() { return u"The answer's head was not valid HTTP."_s; }
QString badFramingDescription() { return u"The answer's length or chunk framing was not valid."_s; }

} // namespace

HTTPResponseReader::HTTPResponseReader(qint64 maxBodyBytes, qint64 maxHeadBytes)
    : m_maxBody(std::max<qint64>(maxBodyBytes, 0)), m_maxHead(std::max<qint64>(maxHeadBytes, 64))
{
}

HTTPResponseReader::Progress HTTPResponseReader::fail(const QString& description)
{
    m_error = description;
    m_pending.clear();
    return m_progress = Progress::failed;
}

HTTPResponseReader::Progress HTTPResponseReader::complete()
{
    m_pending.clear();
    return m_progress = Progress::complete;
}

bool HTTPResponseReader::keep(QByteArrayView bytes)
{
    const qint64 room = m_maxBody - m_body.size();
    if (bytes.size() > room) {
        m_body.append(bytes.first(room));
        m_truncated = true;
        return true;
    }
    m_body.append(bytes);
    return false;
}

std::optional<QByteArray> HTTPResponseReader::takeLine(qsizetype maxLength)
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0 || end > maxLength + 1)
        return std::nullopt;
    QByteArray line = withoutCarriageReturn(QByteArrayView(m_pending).first(end)).toByteArray();
    m_pending.remove(0, end + 1);
    return line;
}

HTTPResponseReader::Progress HTTPResponseReader::feed(QByteArrayView bytes)
{
    if (m_progress != Progress::needMore)
        return m_progress;
    // The body of an answer framed by its length or its end goes straight through, unbuffered.
    if (m_stage == Stage::bodyToEnd)
        return keep(bytes) ? complete() : m_progress;
    m_pending.append(bytes);

    while (m_progress == Progress::needMore) {
        switch (m_stage) {
        case Stage::head:
            if (!readHead())
                return m_progress;
            break;
        case Stage::sizedBody:
        case Stage::chunkData: {
            const qint64 count = std::min<qint64>(m_remaining, m_pending.size());
            const bool full = keep(QByteArrayView(m_pending).first(count));
            m_pending.remove(0, count);
            m_remaining -= count;
            if (full || (m_remaining == 0 && m_stage == Stage::sizedBody))
                return complete();
            if (m_remaining > 0)
                return m_progress;
            m_stage = Stage::chunkDataEnd;
            break;
        }
        case Stage::chunkDataEnd: {
            if (m_pending.size() < 2 && !m_pending.startsWith('\n'))
                return m_progress;
            const std::optional<QByteArray> line = takeLine(0);
            if (!line || !line->isEmpty())
                return fail(badFramingDescription());
            m_stage = Stage::chunkSize;
            break;
        }
        case Stage::chunkSize: {
            const std::optional<QByteArray> line = takeLine(maxChunkLine);
            if (!line)
                return m_pending.size() > maxChunkLine + 1 ? fail(badFramingDescription()) : m_progress;
            const QByteArray size = line->split(';').first().trimmed();
            bool ok = false;
            const qint64 value = size.size() <= 15 ? size.toLongLong(&ok, 16) : 0;
            if (!ok || value < 0 || size.startsWith('+') || size.startsWith('-'))
                return fail(badFramingDescription());
            m_remaining = value;
            m_stage = value == 0 ? Stage::trailer : Stage::chunkData;
            break;
        }
        case Stage::trailer: {
            const std::optional<QByteArray> line = takeLine(m_maxHead);
            if (!line)
                return m_pending.size() > m_maxHead ? fail(badFramingDescription()) : m_progress;
            if (line->isEmpty())
                return complete();
            break;
        }
        case Stage::bodyToEnd: {
            const QByteArray rest = std::exchange(m_pending, {});
            return keep(rest) ? complete() : m_progress;
        }
        }
    }
    return m_progress;
}

bool HTTPResponseReader::readHead()
{
    // Garbage is told at its first bytes rather than after a time-out.
    const QByteArrayView start = QByteArrayView(m_pending).first(std::min<qsizetype>(m_pending.size(), 7));
    if (!QByteArrayView("HTTP/1.").startsWith(start)) {
        fail(notHTTPDescription());
        return false;
    }
    qsizetype end = m_pending.indexOf("\n\r\n");
    qsizetype terminator = 3;
    const qsizetype bare = m_pending.indexOf("\n\n");
    if (bare >= 0 && (end < 0 || bare < end)) {
        end = bare;
        terminator = 2;
    }
    if (end < 0) {
        if (m_pending.size() > m_maxHead)
            fail(u"The answer's head was larger than %1 bytes."_s.arg(m_maxHead));
        return false;
    }
    if (end > m_maxHead) {
        fail(u"The answer's head was larger than %1 bytes."_s.arg(m_maxHead));
        return false;
    }
    const QByteArray head = m_pending.first(end);
    m_pending.remove(0, end + terminator);
    if (!parseHead(head))
        return false;
    if (m_response.statusCode < 200) {
        m_response = {};
        return true; // an interim answer; the real one follows
    }
    return startBody();
}

bool HTTPResponseReader::parseHead(QByteArrayView head)
{
    const QList<QByteArrayView> lines = [&] {
        QList<QByteArrayView> result;
        qsizetype from = 0;
        while (from <= head.size()) {
            qsizetype to = head.indexOf('\n', from);
            if (to < 0)
                to = head.size();
            result.append(withoutCarriageReturn(head.sliced(from, to - from)));
            from = to + 1;
        }
        return result;
    }();
    const std::optional<int> status = statusOf(lines.first());
    if (!status) {
        fail(notHTTPDescription());
        return false;
    }
    m_response.statusCode = *status;
    if (lines.size() - 1 > maxHeaderCount) {
        fail(malformedHeadDescription());
        return false;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (line.startsWith(' ') || line.startsWith('\t')) {
            // An old-style continuation of the previous value.
            if (m_response.headers.isEmpty()) {
                fail(malformedHeadDescription());
                return false;
            }
            m_response.headers.last().second += ' ' + line.trimmed().toByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        const QByteArrayView name = colon > 0 ? line.first(colon) : QByteArrayView();
        if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isTokenChar)) {
            fail(malformedHeadDescription());
            return false;
        }
        m_response.headers.append({name.toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
    }
    return true;
}

bool HTTPResponseReader::startBody()
{
    const int status = m_response.statusCode;
    if (status == 204 || status == 304) {
        complete();
        return false;
    }
    QByteArray transfer;
    QList<QByteArray> lengths;
    for (const auto& [name, value] : m_response.headers) {
        if (QByteArrayView(name).compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            transfer += (transfer.isEmpty() ? "" : ",") + value;
        else if (QByteArrayView(name).compare("Content-Length", Qt::CaseInsensitive) == 0)
            for (const QByteArray& part : value.split(','))
                lengths.append(part.trimmed());
    }
    if (!transfer.isEmpty()) {
        // Chunked only when it is the last coding; any other transfer coding runs to the end.
        const QByteArray last = transfer.split(',').last().trimmed().toLower();
        m_stage = last == "chunked" ? Stage::chunkSize : Stage::bodyToEnd;
        return true;
    }
    if (!lengths.isEmpty()) {
        const QByteArray first = lengths.first();
        const bool agree = std::all_of(lengths.begin(), lengths.end(), [&](const QByteArray& l) { return l == first; });
        if (!agree || !isDigits(first) || first.size() > 15) {
            fail(badFramingDescription());
            return false;
        }
        m_remaining = first.toLongLong();
        if (m_remaining == 0) {
            complete();
            return false;
        }
        m_stage = Stage::sizedBody;
        return true;
    }
    m_stage = Stage::bodyToEnd;
    return true;
}

HTTPResponseReader::Progress HTTPResponseReader::finish()
{
    if (m_progress != Progress::needMore)
        return m_progress;
    if (m_stage == Stage::bodyToEnd)
        return complete();
    return fail(incompleteDescription());
}
