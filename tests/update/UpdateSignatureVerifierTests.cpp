#include "services/update/UpdateSignatureVerifier.h"
#include "services/update/UpdateSignedStatement.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>

using namespace Qt::StringLiterals;

namespace {

const unsigned char* bytes(const QByteArray& data) { return reinterpret_cast<const unsigned char*>(data.constData()); }

struct KeyPair {
    QByteArray publicKey = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey = QByteArray(crypto_sign_SECRETKEYBYTES, '\0');

    KeyPair()
    {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()), reinterpret_cast<unsigned char*>(secretKey.data()));
    }
    QString publicText() const { return QString::fromLatin1(publicKey.toBase64()); }
    // As the release tool signs: the version and length, then the bytes.
    QString sign(const QByteArray& data, const QString& version) const
    {
        crypto_sign_state state;
        crypto_sign_init(&state);
        const QByteArray header = UpdateSignedStatement::header(version, data.size());
        crypto_sign_update(&state, bytes(header), quint64(header.size()));
        crypto_sign_update(&state, bytes(data), quint64(data.size()));
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_final_create(&state, reinterpret_cast<unsigned char*>(signature.data()), nullptr, bytes(secretKey));
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

TEST_F(SignatureTest, AcceptsOnlyTheExactSignedBytesAsTheSignedVersion)
{
    // Larger than one read chunk, so the streamed hash is checked across chunk borders.
    const QByteArray payload = QByteArray(3 * 1024 * 1024 + 17, 'x') + "end";
    const UpdateSignatureVerifier verifier(keys.publicText());
    const QString signature = keys.sign(payload, u"7"_s);
    EXPECT_EQ(verifier.verify(write(payload), u"7"_s, signature), std::nullopt);

    // The same bytes offered as another version: the replay of an old release under a new number.
    EXPECT_EQ(verifier.verify(write(payload), u"8"_s, signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write(payload), u"7.0"_s, signature), UpdateError::signatureMismatch());

    QByteArray tampered = payload;
    tampered[2 * 1024 * 1024] = 'y';
    EXPECT_EQ(verifier.verify(write(tampered), u"7"_s, signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write(payload + "!"), u"7"_s, signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write(payload.chopped(1)), u"7"_s, signature), UpdateError::signatureMismatch());
    EXPECT_EQ(verifier.verify(write(payload), u"7"_s, KeyPair().sign(payload, u"7"_s)), UpdateError::signatureMismatch());
    // A version the release tool never signs cannot pass, whatever the signature.
    EXPECT_EQ(verifier.verify(write(payload), u"7\n"_s, keys.sign(payload, u"7\n"_s)), UpdateError::signatureMismatch());
}

TEST_F(SignatureTest, UnsignedMalformedOrKeylessChecksAreRefused)
{
    const QString path = write("data");
    const UpdateSignatureVerifier verifier(keys.publicText());
    EXPECT_EQ(verifier.verify(path, u"1"_s, std::nullopt), UpdateError::unsignedUpdate());
    EXPECT_EQ(verifier.verify(path, u"1"_s, u"  "_s), UpdateError::unsignedUpdate());
    EXPECT_EQ(verifier.verify(path, u"1"_s, u"not*base64"_s), UpdateError::badSignature());
    EXPECT_EQ(verifier.verify(path, u"1"_s, QString::fromLatin1(QByteArray(32, 'a').toBase64())), UpdateError::badSignature());

    for (const QString& key : {QString(), u"short"_s, QString::fromLatin1(QByteArray(31, 'k').toBase64())}) {
        const UpdateSignatureVerifier keyless(key);
        EXPECT_FALSE(keyless.hasKey());
        EXPECT_EQ(keyless.verify(path, u"1"_s, keys.sign("data", u"1"_s)), UpdateError::missingPublicKey());
    }
    EXPECT_EQ(verifier.verify(directory.filePath(u"missing"_s), u"1"_s, keys.sign("data", u"1"_s))->kind,
              UpdateError::Kind::installFailed);
}
