#pragma once

#include <QByteArray>
#include <QStringView>

// What a release signature covers: a fixed label, the version the release claims to be and its length,
// then the file's bytes. Binding the version means a validly signed older release cannot be offered
// again under a newer version number; binding the length means it cannot be padded or cut.
// The signature is ed25519 over the SHA-512 of all of it (libsodium's pre-hashed mode), so a large
// file is streamed, never held in memory. Shared by the app and the release tool.
namespace UpdateSignedStatement {

inline QByteArray header(QStringView version, qint64 length)
{
    return QByteArrayLiteral("BrewBeacon update v1\n") + version.toUtf8() + '\n' + QByteArray::number(length) + '\n';
}

// Versions the release tool accepts and the app compares: letters, digits and . - _ + only, so the
// text reads the same in the signature, the appcast attribute and a file name.
inline bool isAcceptableVersion(QStringView version)
{
    if (version.isEmpty() || version.size() > 64)
        return false;
    for (const QChar c : version) {
        const bool allowed = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'.'
                             || c == u'-' || c == u'_' || c == u'+';
        if (!allowed)
            return false;
    }
    return true;
}

} // namespace UpdateSignedStatement
