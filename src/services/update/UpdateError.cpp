#include "services/update/UpdateError.h"

using namespace Qt::StringLiterals;

UpdateError UpdateError::feedUnreachable(const QString& transportError)
{
    return {Kind::feedUnreachable, u"The update feed could not be reached: %1"_s.arg(transportError)};
}

UpdateError UpdateError::feedStatus(int status)
{
    return {Kind::feedStatus, u"The update feed answered with status %1."_s.arg(status)};
}

UpdateError UpdateError::feedMalformed(const QString& detail)
{
    return {Kind::feedMalformed, u"The update feed is not a readable appcast: %1"_s.arg(detail)};
}

UpdateError UpdateError::unknownCurrentVersion()
{
    return {Kind::unknownCurrentVersion, u"This build does not know its own version, so updates cannot be compared."_s};
}

UpdateError UpdateError::unsignedUpdate()
{
    return {Kind::unsignedUpdate, u"The update is not signed, so BrewBeacon will not install it."_s};
}

UpdateError UpdateError::badSignature()
{
    return {Kind::badSignature, u"The update's signature is not a valid ed25519 signature."_s};
}

UpdateError UpdateError::signatureMismatch()
{
    return {Kind::signatureMismatch,
            u"The downloaded update does not match its signature, so BrewBeacon will not install it."_s};
}

UpdateError UpdateError::missingPublicKey()
{
    return {Kind::missingPublicKey, u"This build has no update signing key, so updates cannot be verified."_s};
}

UpdateError UpdateError::downloadFailed(const QString& detail)
{
    return {Kind::downloadFailed, u"The update could not be downloaded: %1"_s.arg(detail)};
}

UpdateError UpdateError::downloadSizeMismatch(qint64 expected, qint64 received)
{
    return {Kind::downloadSizeMismatch,
            u"The update download has %1 bytes where the feed announced %2."_s.arg(received).arg(expected)};
}

UpdateError UpdateError::installFailed(const QString& detail)
{
    return {Kind::installFailed, u"The update could not be installed: %1"_s.arg(detail)};
}

UpdateError UpdateError::unsafeArchive(const QString& detail)
{
    return {Kind::unsafeArchive, u"The update archive was refused: %1"_s.arg(detail)};
}

UpdateError UpdateError::relaunchFailed(const QString& program)
{
    return {Kind::relaunchFailed, u"The updated application could not be started from %1."_s.arg(program)};
}

UpdateError UpdateError::notInstalledInPrefix(const QString& directory)
{
    return {Kind::notInstalledInPrefix,
            u"BrewBeacon runs from %1, which is not an installation it can update."_s.arg(directory)};
}

UpdateError UpdateError::insecureURL(const QUrl& url)
{
    return {Kind::insecureURL, u"BrewBeacon only fetches updates over https, not from %1."_s.arg(url.toDisplayString())};
}

UpdateError UpdateError::notNewer(const QString& version, const QString& running)
{
    return {Kind::notNewer,
            u"The update is version %1, which is not newer than the running version %2, so BrewBeacon will not install it."_s
                .arg(version, running)};
}

UpdateError UpdateError::managedByPackageManager(const QString& directory)
{
    return {Kind::managedByPackageManager,
            u"BrewBeacon in %1 is installed by the system's package manager, which also updates it."_s.arg(directory)};
}
