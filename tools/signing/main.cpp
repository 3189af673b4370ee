// brewbeacon-sign-update: the release side of update signing.
//
//   brewbeacon-sign-update generate-keys SECRET_KEY_FILE   writes a new secret key (mode 0600) and
//                                                         prints the public key to build the app with
//                                                         (-DBREWBEACON_UPDATE_PUBLIC_KEY=...)
//   brewbeacon-sign-update sign SECRET_KEY_FILE FILE       prints FILE's base64 ed25519 signature and
//                                                         length, as the appcast's enclosure carries them
#include <QByteArray>
#include <QFile>
#include <QString>

#include <sodium.h>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: brewbeacon-sign-update generate-keys SECRET_KEY_FILE\n"
               "       brewbeacon-sign-update sign SECRET_KEY_FILE FILE\n",
               stderr);
    return 2;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "brewbeacon-sign-update: %s\n", qPrintable(message));
    return 1;
}

int generateKeys(const QString& secretPath)
{
    if (QFile::exists(secretPath))
        return fail(QStringLiteral("%1 exists; refusing to overwrite a signing key").arg(secretPath));
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    QFile file(secretPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray secret = QByteArray(reinterpret_cast<const char*>(secretKey), sizeof secretKey).toBase64();
    sodium_memzero(secretKey, sizeof secretKey);
    if (file.write(secret + '\n') != secret.size() + 1)
        return fail(file.errorString());
    std::printf("%s\n", QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64().constData());
    return 0;
}

int sign(const QString& secretPath, const QString& path)
{
    QFile keyFile(secretPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        return fail(keyFile.errorString());
    const QByteArray secret = QByteArray::fromBase64(keyFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 is not a signing key").arg(secretPath));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Mapped rather than read, so signing a large archive costs no memory.
    const qint64 size = file.size();
    const uchar* data = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !data)
        return fail(file.errorString());
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, data, static_cast<unsigned long long>(size),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    std::printf("sparkle:edSignature=\"%s\" length=\"%lld\"\n",
                QByteArray(reinterpret_cast<const char*>(signature), sizeof signature).toBase64().constData(),
                static_cast<long long>(size));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (sodium_init() < 0)
        return fail(QStringLiteral("libsodium did not start"));
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("generate-keys") && argc == 3)
        return generateKeys(QString::fromLocal8Bit(argv[2]));
    if (command == QLatin1String("sign") && argc == 4)
        return sign(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return usage();
}
