#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QString>

// What reading one stored secret gave.
struct SecretReadResult {
    enum class Kind { Found, NotFound, Failed };

    Kind kind = Kind::NotFound;
    QByteArray data;    // only for Found
    QString message;    // only for Failed: the keyring's own description

    static SecretReadResult found(QByteArray data) { return {Kind::Found, std::move(data), {}}; }
    static SecretReadResult notFound() { return {Kind::NotFound, {}, {}}; }
    static SecretReadResult failed(QString message) { return {Kind::Failed, {}, std::move(message)}; }

    bool operator==(const SecretReadResult&) const = default;
};

// What writing one stored secret gave.
struct SecretWriteResult {
    enum class Kind { Written, Failed };

    Kind kind = Kind::Written;
    QString message;

    static SecretWriteResult written() { return {Kind::Written, {}}; }
    static SecretWriteResult failed(QString message) { return {Kind::Failed, std::move(message)}; }

    bool operator==(const SecretWriteResult&) const = default;
};

// One item of the user's keyring (the Secret Service on the session bus), named by service and
// account. Writing replaces the item as a whole or creates it, so a failed write leaves the old one.
// Never falls back to plain-text storage.
class SecretServiceItem {
public:
    SecretServiceItem(QString service, QString account);

    const QString& service() const { return m_service; }
    const QString& account() const { return m_account; }

    QCoro::Task<SecretReadResult> read() const;
    QCoro::Task<SecretWriteResult> write(QByteArray data) const;

private:
    QString m_service;
    QString m_account;
};
