#include "services/update/UpdateSignatureVerifier.h"

#include "services/update/UpdateSignedStatement.h"

#include <QFile>
#include <sodium.h>

using namespace Qt::StringLiterals;

#ifndef BREWBEACON_UPDATE_PUBLIC_KEY
#define BREWBEACON_UPDATE_PUBLIC_KEY ""
#endif

namespace {

std::optional<QByteArray> decodeExactly(const QString& text, qsizetype size)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size)
        return std::nullopt;
    return decoded.decoded;
}

const unsigned char* bytes(const QByteArray& data) { return reinterpret_cast<const unsigned char*>(data.constData()); }

} // namespace

UpdateSignatureVerifier::UpdateSignatureVerifier(const QString& publicKey)
    : m_key(decodeExactly(publicKey, crypto_sign_PUBLICKEYBYTES).value_or(QByteArray()))
{
}

QString UpdateSignatureVerifier::builtInPublicKey()
{
    return QStringLiteral(BREWBEACON_UPDATE_PUBLIC_KEY);
}

UpdateSignatureVerifier UpdateSignatureVerifier::builtIn()
{
    return UpdateSignatureVerifier(builtInPublicKey());
}

std::optional<UpdateError> UpdateSignatureVerifier::verify(const QString& filePath, const QString& version,
                                                           const std::optional<QString>& signature) const
{
    if (!signature || signature->trimmed().isEmpty())
        return UpdateError::unsignedUpdate();
    if (!hasKey())
        return UpdateError::missingPublicKey();
    const auto signatureBytes = decodeExactly(*signature, crypto_sign_BYTES);
    if (!signatureBytes)
        return UpdateError::badSignature();
    // A version the release tool would not sign can only be a forgery or a mistake.
    if (!UpdateSignedStatement::isAcceptableVersion(version))
        return UpdateError::signatureMismatch();
    if (sodium_init() < 0)
        return UpdateError::installFailed(u"the signature library could not start"_s);

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return UpdateError::installFailed(u"the download cannot be read (%1)"_s.arg(file.errorString()));
    crypto_sign_state state;
    crypto_sign_init(&state);
    const QByteArray header = UpdateSignedStatement::header(version, file.size());
    crypto_sign_update(&state, bytes(header), quint64(header.size()));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 read = 0;
    while ((read = file.read(chunk.data(), chunk.size())) > 0)
        crypto_sign_update(&state, bytes(chunk), quint64(read));
    if (read < 0)
        return UpdateError::installFailed(u"the download cannot be read (%1)"_s.arg(file.errorString()));
    // The signature is checked against the length the file has now, which the downloader made equal
    // to the announced one.
    if (crypto_sign_final_verify(&state, bytes(*signatureBytes), bytes(m_key)) != 0)
        return UpdateError::signatureMismatch();
    return std::nullopt;
}
