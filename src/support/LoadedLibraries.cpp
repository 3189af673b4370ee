#include "support/LoadedLibraries.h"

#include <QFile>
#include <QSet>
#include <QStringList>

using namespace Qt::StringLiterals;

void appendLoadedLibraries(const QString& path)
{
    QFile maps(u"/proc/self/maps"_s);
    if (!maps.open(QIODevice::ReadOnly))
        return;
    QSet<QString> libraries;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype slash = line.indexOf('/');
        const QString file = slash < 0 ? QString() : QString::fromUtf8(line.mid(slash));
        if (file.endsWith(u".so"_s) || file.contains(u".so."_s))
            libraries.insert(file);
    }
    QStringList sorted(libraries.cbegin(), libraries.cend());
    sorted.sort();
    QFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Append))
        out.write(sorted.join(u'\n').toUtf8() + '\n');
}
