#include "services/update/UpdateSignatureVerifier.h"

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

std::optional<UpdateError> UpdateSignatureVerifier::verify(const QString& filePath,
                                                           const std::optional<QString>& signature) const
{
    if (!signature || signature->trimmed().isEmpty())
        return UpdateError::unsignedUpdate();
    if (!hasKey())
        return UpdateError::missingPublicKey();
    const auto bytes = decodeExactly(*signature, crypto_sign_BYTES);
    if (!bytes)
        return UpdateError::badSignature();
    if (sodium_init() < 0)
        return UpdateError::installFailed(u"the signature library could not start"_s);

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return UpdateError::installFailed(u"the download cannot be read (%1)"_s.arg(file.errorString()));
    const qint64 size = file.size();
    const uchar* data = nullptr;
    static const uchar empty = 0;
    if (size > 0) {
        data = file.map(0, size);
        if (!data)
            return UpdateError::installFailed(u"the download cannot be read (%1)"_s.arg(file.errorString()));
    } else {
        data = &empty;
    }
    const int verdict = crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(bytes->constData()), data,
                                                    quint64(size), reinterpret_cast<const unsigned char*>(m_key.constData()));
    if (verdict != 0)
        return UpdateError::signatureMismatch();
    return std::nullopt;
}
