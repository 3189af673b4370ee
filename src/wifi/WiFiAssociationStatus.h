#pragma once

#include <QString>
#include <optional>

// What one platform join step reported.
class WiFiAssociationStatus {
public:
    enum class Kind { associated, alreadyAssociated, networkNotFound, interfaceUnavailable, wifiOff, serviceInactive, failed };

    // Exists so the value can be awaited and held; a failure without a message.
    WiFiAssociationStatus() = default;

    static WiFiAssociationStatus associated() { return WiFiAssociationStatus(Kind::associated); }
    static WiFiAssociationStatus alreadyAssociated() { return WiFiAssociationStatus(Kind::alreadyAssociated); }
    static WiFiAssociationStatus networkNotFound() { return WiFiAssociationStatus(Kind::networkNotFound); }
    static WiFiAssociationStatus interfaceUnavailable() { return WiFiAssociationStatus(Kind::interfaceUnavailable); }
    static WiFiAssociationStatus wifiOff() { return WiFiAssociationStatus(Kind::wifiOff); }
    static WiFiAssociationStatus serviceInactive() { return WiFiAssociationStatus(Kind::serviceInactive); }
    static WiFiAssociationStatus failed(QString message) { return WiFiAssociationStatus(Kind::failed, std::move(message)); }

    Kind kind() const { return m_kind; }
    // The platform's text of `failed`; none for the other cases.
    std::optional<QString> message() const;

    bool isSuccess() const { return m_kind == Kind::associated || m_kind == Kind::alreadyAssociated; }
    // False exactly for the interface, power and service cases; successes never reach the retry decision.
    bool isRetryable() const;
    // "associated", ..., "failed(<message>)".
    QString logValue() const;

    bool operator==(const WiFiAssociationStatus&) const = default;

private:
    explicit WiFiAssociationStatus(Kind kind, QString message = {}) : m_kind(kind), m_message(std::move(message)) {}

    Kind m_kind = Kind::failed;
    QString m_message;
};
