#pragma once

#include "services/update/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Checks a downloaded file against the ed25519 signature the feed gives for it. The signature covers
// the version the feed offers the file as and the file's length as well as its bytes, so the version
// that is installed is the version that was signed.
class UpdateSignatureVerifier {
public:
    // `publicKey` is the base64 text of the 32-byte key; anything else leaves the verifier refusing all.
    explicit UpdateSignatureVerifier(const QString& publicKey);

    // The key this build was configured with (BREWBEACON_UPDATE_PUBLIC_KEY).
    static UpdateSignatureVerifier builtIn();
    static QString builtInPublicKey();

    bool hasKey() const { return !m_key.isEmpty(); }

    // Nothing on success. The file is read in chunks, so its size costs no memory; it may take a while
    // for a large file, so callers run it off the main thread. Safe to call from any thread.
    std::optional<UpdateError> verify(const QString& filePath, const QString& version,
                                      const std::optional<QString>& signature) const;

private:
    QByteArray m_key;
};
