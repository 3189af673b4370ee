#include "support/MemoryTrim.h"

#include <QByteArray>
#include <QFile>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

namespace {

struct Mapping {
    quintptr start = 0;
    quintptr end = 0;
    bool candidate = false; // private, read-only, backed by a file
    long residentKb = 0;
    long anonymousKb = -1;  // unknown until its line is read: never released then
};

// "7f65e4000000-7f65e435f000 r-xp 00027000 fe:00 5317924   /path"
bool parseHeader(const QByteArray& line, Mapping& mapping)
{
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 5)
        return false;
    const qsizetype dash = fields[0].indexOf('-');
    if (dash <= 0)
        return false;
    bool startOk = false;
    bool endOk = false;
    mapping = Mapping{};
    mapping.start = quintptr(fields[0].left(dash).toULongLong(&startOk, 16));
    mapping.end = quintptr(fields[0].mid(dash + 1).toULongLong(&endOk, 16));
    const QByteArray& permissions = fields[1];
    bool inodeOk = false;
    const qulonglong inode = fields[4].toULongLong(&inodeOk);
    mapping.candidate = startOk && endOk && mapping.end > mapping.start && permissions.size() == 4
                        && permissions[1] != 'w' && permissions[3] == 'p' && inodeOk && inode != 0;
    return startOk && endOk;
}

long kilobytes(const QByteArray& line)
{
    const QList<QByteArray> fields = line.simplified().split(' ');
    return fields.size() >= 2 ? fields[1].toLong() : -1;
}

} // namespace

long releaseCleanFilePages()
{
#if defined(Q_OS_LINUX)
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return 0;
    // Read whole before any change, so the listing describes one moment.
    const QList<QByteArray> lines = smaps.readAll().split('\n');
    QList<Mapping> mappings;
    Mapping current;
    bool inMapping = false;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        if (line.startsWith("Rss:")) {
            current.residentKb = kilobytes(line);
        } else if (line.startsWith("Anonymous:")) {
            current.anonymousKb = kilobytes(line);
        } else if (!line.contains(':') || line.indexOf(':') > line.indexOf(' ')) {
            // A mapping's first line: its address range has no colon before the first space.
            if (inMapping)
                mappings.append(current);
            inMapping = parseHeader(line, current);
        }
    }
    if (inMapping)
        mappings.append(current);

    long released = 0;
    for (const Mapping& mapping : mappings) {
        // A private page the process wrote to is its own copy: dropping it would lose the change.
        if (!mapping.candidate || mapping.anonymousKb != 0 || mapping.residentKb <= 0)
            continue;
        if (madvise(reinterpret_cast<void*>(mapping.start), mapping.end - mapping.start, MADV_DONTNEED) == 0)
            released += mapping.residentKb;
    }
    return released;
#else
    return 0;
#endif
}
