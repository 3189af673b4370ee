#pragma once

#include "services/update/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Checks a downloaded file against the ed25519 signature the feed gives for it.
class UpdateSignatureVerifier {
public:
    // `publicKey` is the base64 text of the 32-byte key; anything else leaves the verifier refusing all.
    explicit UpdateSignatureVerifier(const QString& publicKey);

    // The key this build was configured with (BREWBEACON_UPDATE_PUBLIC_KEY).
    static UpdateSignatureVerifier builtIn();
    static QString builtInPublicKey();

    bool hasKey() const { return !m_key.isEmpty(); }

    // Nothing on success. The whole file is signed; it is mapped, not read, so size costs no memory.
    std::optional<UpdateError> verify(const QString& filePath, const std::optional<QString>& signature) const;

private:
    QByteArray m_key;
};
