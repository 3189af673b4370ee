// brewbeacon-sign-update: the release side of update signing.
//
//   brewbeacon-sign-update generate-keys SECRET_KEY_FILE   writes a new secret key (created mode 0600)
//                                                         and prints the public key to build the app
//                                                         with (-DBREWBEACON_UPDATE_PUBLIC_KEY=...)
//   brewbeacon-sign-update sign SECRET_KEY_FILE FILE VERSION
//                                                         prints the version, signature and length
//                                                         attributes of the appcast's <enclosure>; the
//                                                         signature covers VERSION and the length too,
//                                                         so the file installs only as that version
#include "services/update/UpdateSignedStatement.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sodium.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fputs("usage: brewbeacon-sign-update generate-keys SECRET_KEY_FILE\n"
               "       brewbeacon-sign-update sign SECRET_KEY_FILE FILE VERSION\n",
               stderr);
    return 2;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "brewbeacon-sign-update: %s\n", qPrintable(message));
    return 1;
}

const unsigned char* bytes(const QByteArray& data) { return reinterpret_cast<const unsigned char*>(data.constData()); }

int generateKeys(const QString& secretPath)
{
    // Created with owner-only permissions in the same call that creates it, so the secret is never
    // readable by others, not even for a moment; an existing file is never overwritten.
    const QByteArray path = QFile::encodeName(secretPath);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return fail(QStringLiteral("%1 exists; refusing to overwrite a signing key").arg(secretPath));
        return fail(QStringLiteral("%1: %2").arg(secretPath, QString::fromLocal8Bit(std::strerror(errno))));
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    QByteArray secret = QByteArray(reinterpret_cast<const char*>(secretKey), sizeof secretKey).toBase64() + '\n';
    sodium_memzero(secretKey, sizeof secretKey);
    const bool written = ::write(fd, secret.constData(), size_t(secret.size())) == secret.size() && ::fsync(fd) == 0;
    sodium_memzero(secret.data(), size_t(secret.size()));
    ::close(fd);
    if (!written) {
        ::unlink(path.constData());
        return fail(QStringLiteral("%1 could not be written").arg(secretPath));
    }
    std::printf("%s\n", QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64().constData());
    return 0;
}

int sign(const QString& secretPath, const QString& path, const QString& version)
{
    if (!UpdateSignedStatement::isAcceptableVersion(version))
        return fail(QStringLiteral("\"%1\" is not a version (letters, digits and . - _ + only)").arg(version));
    QFile keyFile(secretPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        return fail(keyFile.errorString());
    const QByteArray secret = QByteArray::fromBase64(keyFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 is not a signing key").arg(secretPath));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const qint64 size = file.size();
    crypto_sign_state state;
    crypto_sign_init(&state);
    const QByteArray header = UpdateSignedStatement::header(version, size);
    crypto_sign_update(&state, bytes(header), quint64(header.size()));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 read = 0;
    qint64 total = 0;
    while ((read = file.read(chunk.data(), chunk.size())) > 0) {
        crypto_sign_update(&state, bytes(chunk), quint64(read));
        total += read;
    }
    if (read < 0 || total != size)
        return fail(QStringLiteral("%1 changed or could not be read while signing").arg(path));
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_final_create(&state, signature, nullptr, bytes(secret));
    std::printf("sparkle:version=\"%s\" sparkle:edSignature=\"%s\" length=\"%lld\"\n", qPrintable(version),
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
    if (command == QLatin1String("sign") && argc == 5)
        return sign(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    return usage();
}
