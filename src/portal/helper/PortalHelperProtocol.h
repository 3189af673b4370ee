#pragma once

#include "portal/helper/PortalHelperMessage.h"

#include <QByteArray>
#include <optional>

// The tray and the portal helper speak in frames: a 4-byte big-endian length, then one UTF-8 JSON
// object {"type": ..., fields}. Each side sends hello with its version first; a frame over the size
// limit, bytes that are not such an object, an unknown type, a field of the wrong kind or size, a
// message from the wrong side or out of order ends the conversation.
namespace PortalHelperProtocol {

constexpr int version = 1;
constexpr qsizetype maxMessageBytes = 64 * 1024;
constexpr qsizetype maxTextLength = 8192;

enum class Error { oversized, truncated, notJSON, unknownType, badField, versionMismatch, outOfOrder };
QString errorName(Error error);

// The whole frame for a message.
QByteArray frame(const PortalHelperMessage& message);

} // namespace PortalHelperProtocol

// Reads the frames one side receives: bytes in, checked messages out. Once it has found an error it
// gives nothing more.
class PortalHelperDecoder {
public:
    explicit PortalHelperDecoder(PortalHelperMessage::Sender from) : m_from(from) {}

    void append(const QByteArray& bytes);
    // The next whole message; none when more bytes are needed or after an error.
    std::optional<PortalHelperMessage> next();
    // The stream ended: a frame cut short is an error.
    void finish();
    const std::optional<PortalHelperProtocol::Error>& error() const { return m_error; }

private:
    std::optional<PortalHelperMessage> fail(PortalHelperProtocol::Error error);

    PortalHelperMessage::Sender m_from;
    QByteArray m_buffer;
    bool m_greeted = false;
    std::optional<PortalHelperProtocol::Error> m_error;
};
