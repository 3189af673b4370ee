#include "services/update/DirectorySwap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace {

QString reason() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool renamePath(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

std::optional<QString> exchangeDirectories(const QString& first, const QString& second)
{
    const QByteArray a = QFile::encodeName(first);
    const QByteArray b = QFile::encodeName(second);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0)
        return std::nullopt;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return u"cannot swap %1 and %2: %3"_s.arg(first, second, reason());

    const QString aside = second + u".exchange"_s;
    if (!renamePath(second, aside))
        return u"cannot move %1 aside: %2"_s.arg(second, reason());
    if (!renamePath(first, second)) {
        const QString why = reason();
        renamePath(aside, second);
        return u"cannot move %1 into place: %2"_s.arg(first, why);
    }
    if (!renamePath(aside, first)) {
        const QString why = reason();
        renamePath(second, first);
        renamePath(aside, second);
        return u"cannot move %1 to %2: %3"_s.arg(aside, first, why);
    }
    return std::nullopt;
}

bool removeTree(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(path);
    // QDir::removeRecursively does not follow links to folders; it removes the links themselves.
    QDir(path).removeRecursively();
    return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
}
