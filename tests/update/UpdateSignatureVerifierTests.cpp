#include "services/update/UpdateSignatureVerifier.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>

using namespace Qt::StringLiterals;

namespace {

struct KeyPair {
    QByteArray publicKey = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey = QByteArray(crypto_sign_SECRETKEYBYTES, '\0');

    KeyPair()
    {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()), reinterpret_cast<unsigned char*>(secretKey.data()));
    }
    QString publicText() const { return QString::fromLatin1(publicKey.toBase64()); }
    QString sign(const QByteArray& data) const
    {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(data.constData()), quint64(data.size()),
                             reinterpret_cast<const unsigned char*>(secretKey.constData()));
        return QString::fromLatin1(signature.toBase64());
    }
};

class SignatureTest : public ::testing::Test {
protected:
    QString write(const QByteArray& data)
    {
        const QString path = directory.filePath(u"download"_s);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
        return path;
    }

    QTemporaryDir directory;
    KeyPair keys;
};

} // namespace

TEST_F(SignatureTest, AcceptsOnlyTheExactSignedBytes)
{
    const QByteArray payload = QByteArray(200'000, 'x') + "end";
    const UpdateSignatureVerifier verifier(keys.publicText());
    const QString signature = keys.sign(payload);
    EXPECT_EQ(verifier.verify(write(payload), signature), std::nullopt);

    QByteArray tampered = payload;
    tampered[1000] = 'y';
    EXPECT_EQ(verifier.verify(write(tampered), signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write(payload + "!"), signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write({}), keys.sign({})), std::nullopt);

    // Signed with another key.
    EXPECT_EQ(verifier.verify(write(payload), KeyPair().sign(payload)), UpdateError::signatureMismatch());
}

TEST_F(SignatureTest, UnsignedMalformedOrKeylessChecksAreRefused)
{
    const QString path = write("data");
    const UpdateSignatureVerifier verifier(keys.publicText());
    EXPECT_EQ(verifier.verify(path, std::nullopt), UpdateError::unsignedUpdate());
    EXPECT_EQ(verifier.verify(path, u"  "_s), UpdateError::unsignedUpdate());
    EXPECT_EQ(verifier.verify(path, u"not*base64"_s), UpdateError::badSignature());
    EXPECT_EQ(verifier.verify(path, QString::fromLatin1(QByteArray(32, 'a').toBase64())), UpdateError::badSignature());

    for (const QString& key : {QString(), u"short"_s, QString::fromLatin1(QByteArray(31, 'k').toBase64())}) {
        const UpdateSignatureVerifier keyless(key);
        EXPECT_FALSE(keyless.hasKey());
        EXPECT_EQ(keyless.verify(path, keys.sign("data")), UpdateError::missingPublicKey());
    }
    EXPECT_EQ(verifier.verify(directory.filePath(u"missing"_s), keys.sign("data"))->kind, UpdateError::Kind::installFailed);
}
