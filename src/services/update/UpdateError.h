#pragma once

#include <QString>
#include <QUrl>

// Why an update cycle stopped. Codes are stable: they are logged with the domain.
struct UpdateError {
    enum class Kind {
        feedUnreachable = 1,
        feedStatus = 2,
        feedMalformed = 3,
        unknownCurrentVersion = 4,
        unsignedUpdate = 5,
        badSignature = 6,
        signatureMismatch = 7,
        missingPublicKey = 8,
        downloadFailed = 9,
        downloadSizeMismatch = 10,
        installFailed = 11,
        unsafeArchive = 12,
        relaunchFailed = 13,
        notInstalledInPrefix = 14,
        insecureURL = 15,
        notNewer = 16,
        managedByPackageManager = 17,
    };

    Kind kind = Kind::feedUnreachable;
    QString description;

    static QString domain() { return QStringLiteral("com.tolvek.brewbeacon.update"); }
    long code() const { return long(kind); }

    static UpdateError feedUnreachable(const QString& transportError);
    static UpdateError feedStatus(int status);
    static UpdateError feedMalformed(const QString& detail);
    static UpdateError unknownCurrentVersion();
    static UpdateError unsignedUpdate();
    static UpdateError badSignature();
    static UpdateError signatureMismatch();
    static UpdateError missingPublicKey();
    static UpdateError downloadFailed(const QString& detail);
    static UpdateError downloadSizeMismatch(qint64 expected, qint64 received);
    static UpdateError installFailed(const QString& detail);
    static UpdateError unsafeArchive(const QString& detail);
    static UpdateError relaunchFailed(const QString& program);
    static UpdateError notInstalledInPrefix(const QString& directory);
    static UpdateError insecureURL(const QUrl& url);
    static UpdateError notNewer(const QString& version, const QString& running);
    static UpdateError managedByPackageManager(const QString& directory);

    bool operator==(const UpdateError&) const = default;
};
