#include "services/update/UpdateArchiveListing.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int blockSize = 512;
constexpr qint64 maximumHeaderBytes = 64 * 1024; // long names and extended headers

using Block = std::array<char, blockSize>;

class GzipReader {
public:
    explicit GzipReader(const QString& path) : m_file(gzopen(QFile::encodeName(path).constData(), "rb"))
    {
        if (m_file)
            gzbuffer(m_file, 128 * 1024);
    }
    ~GzipReader()
    {
        if (m_file)
            gzclose(m_file);
    }
    GzipReader(const GzipReader&) = delete;
    GzipReader& operator=(const GzipReader&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // Exactly `size` bytes, or false at the end of the data or on a damaged stream.
    bool read(char* into, qint64 size)
    {
        while (size > 0) {
            const int chunk = int(std::min<qint64>(size, 1 << 20));
            const int got = gzread(m_file, into, unsigned(chunk));
            if (got <= 0)
                return false;
            into += got;
            size -= got;
        }
        return true;
    }
    bool skip(qint64 size)
    {
        static thread_local std::array<char, 64 * 1024> sink;
        while (size > 0) {
            const qint64 chunk = std::min<qint64>(size, qint64(sink.size()));
            if (!read(sink.data(), chunk))
                return false;
            size -= chunk;
        }
        return true;
    }
    qint64 compressedOffset() const { return qint64(gzoffset(m_file)); }
    // zlib reads a file that is not gzip as it is; tar -z would not.
    bool isCompressed() const { return gzdirect(m_file) == 0; }
    // Reads to the end of the stream, so its check sum is verified; false on damage or more than `limit`.
    bool drain(qint64 limit)
    {
        std::array<char, 64 * 1024> sink;
        qint64 total = 0;
        while (total <= limit) {
            const int got = gzread(m_file, sink.data(), unsigned(sink.size()));
            if (got == 0) {
                int error = Z_OK;
                gzerror(m_file, &error);
                return error == Z_OK;
            }
            if (got < 0)
                return false;
            total += got;
        }
        return false;
    }

private:
    gzFile m_file;
};

std::optional<qint64> octal(const char* field, int width)
{
    // Base-256 sizes (high bit set) only appear past 8 GiB, far beyond what an update may hold.
    if (static_cast<unsigned char>(field[0]) & 0x80)
        return std::nullopt;
    qint64 value = 0;
    int i = 0;
    while (i < width && (field[i] == ' ' || field[i] == '\0'))
        ++i;
    bool digits = false;
    for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) {
        value = value * 8 + (field[i] - '0');
        digits = true;
        if (value > (qint64(1) << 40))
            return std::nullopt;
    }
    for (; i < width; ++i) {
        if (field[i] != ' ' && field[i] != '\0')
            return std::nullopt;
    }
    return digits ? std::optional(value) : std::nullopt;
}

QByteArray cString(const char* field, int width)
{
    return QByteArray(field, int(qstrnlen(field, uint(width))));
}

bool checksumMatches(const Block& header)
{
    const auto stored = octal(header.data() + 148, 8);
    if (!stored)
        return false;
    qint64 sum = 0;
    for (int i = 0; i < blockSize; ++i)
        sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(header[i]);
    return sum == *stored;
}

bool isZeroBlock(const Block& block)
{
    return std::all_of(block.begin(), block.end(), [](char c) { return c == '\0'; });
}

// "27 path=some/long/name\n" records; the ones that change what a member is are applied.
// `size` stays negative unless the header names one.
bool applyExtendedHeader(const QByteArray& data, std::optional<QByteArray>& path, qint64& size)
{
    qsizetype at = 0;
    while (at < data.size()) {
        const qsizetype space = data.indexOf(' ', at);
        if (space < 0)
            return false;
        bool ok = false;
        const qsizetype length = data.mid(at, space - at).toLongLong(&ok);
        if (!ok || length <= space - at + 1 || at + length > data.size() || data.at(at + length - 1) != '\n')
            return false;
        const QByteArray record = data.mid(space + 1, length - (space - at) - 2);
        const qsizetype equals = record.indexOf('=');
        if (equals < 0)
            return false;
        const QByteArray key = record.left(equals);
        const QByteArray value = record.mid(equals + 1);
        if (key == "path") {
            path = value;
        } else if (key == "size") {
            const qint64 parsed = value.toLongLong(&ok);
            if (!ok || parsed < 0)
                return false;
            size = parsed;
        } else if (key.startsWith("GNU.sparse") || key == "linkpath") {
            return false; // sparse files and link targets have no place in an installation
        }
        at += length;
    }
    return true;
}

} // namespace

bool UpdateArchiveListing::isSafeName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(QChar(0)))
        return false;
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    return !parts.contains(u".."_s);
}

UpdateArchiveListing UpdateArchiveListing::read(const QString& archivePath, const Progress& progress)
{
    UpdateArchiveListing listing;
    const auto refuse = [&listing](const QString& why) {
        listing.error = UpdateError::unsafeArchive(why);
        return listing;
    };
    const qint64 total = QFileInfo(archivePath).size();
    GzipReader gzip(archivePath);
    if (!gzip.isOpen())
        return refuse(u"it cannot be opened"_s);

    std::optional<QByteArray> pendingPath;
    qint64 pendingSize = -1; // from an extended header; negative: none
    Block header{};
    while (true) {
        if (progress)
            progress(gzip.compressedOffset(), total);
        if (!gzip.read(header.data(), blockSize))
            return refuse(u"it ends before its last member"_s);
        if (!gzip.isCompressed())
            return refuse(u"it is not gzip-compressed"_s);
        if (isZeroBlock(header)) {
            // The end marker; what follows is padding, which must be short and undamaged.
            if (!gzip.drain(1 << 20))
                return refuse(u"it is damaged or has data after its end"_s);
            break;
        }
        if (!checksumMatches(header))
            return refuse(u"a member header is damaged"_s);
        const auto headerSize = octal(header.data() + 124, 12);
        if (!headerSize)
            return refuse(u"a member has an unreadable size"_s);
        const char type = header[156];
        const qint64 padded = (*headerSize + blockSize - 1) / blockSize * blockSize;

        if (type == 'L' || type == 'x') {
            if (*headerSize > maximumHeaderBytes)
                return refuse(u"a member's name is too long"_s);
            QByteArray data(qsizetype(padded), Qt::Uninitialized);
            if (!gzip.read(data.data(), padded))
                return refuse(u"it ends inside a member"_s);
            data.truncate(qsizetype(*headerSize));
            if (type == 'L')
                pendingPath = cString(data.constData(), int(data.size()));
            else if (!applyExtendedHeader(data, pendingPath, pendingSize))
                return refuse(u"a member has an unreadable extended header"_s);
            continue;
        }

        QByteArray rawName = pendingPath.value_or(QByteArray());
        if (!pendingPath) {
            rawName = cString(header.data(), 100);
            const bool ustar = qstrncmp(header.data() + 257, "ustar", 5) == 0;
            const QByteArray prefix = ustar ? cString(header.data() + 345, 155) : QByteArray();
            if (!prefix.isEmpty())
                rawName = prefix + '/' + rawName;
        }
        const qint64 size = pendingSize >= 0 ? pendingSize : *headerSize;
        pendingPath.reset();
        pendingSize = -1;
        QString name = QString::fromUtf8(rawName);
        if (type != '0' && type != '\0' && type != '5')
            return refuse(u"a link or special file: "_s + name);
        if (!isSafeName(name))
            return refuse(u"a name outside the installation: "_s + name);
        const bool isDirectory = type == '5' || name.endsWith(u'/');
        while (name.endsWith(u'/'))
            name.chop(1);
        if (isDirectory && size != 0)
            return refuse(u"a folder with contents of its own: "_s + name);
        if (listing.entries.size() >= maximumEntries)
            return refuse(u"it holds too many files"_s);
        listing.unpackedBytes += size;
        if (listing.unpackedBytes > maximumUnpackedBytes)
            return refuse(u"it unpacks to more than BrewBeacon accepts"_s);
        listing.entries.append({name, isDirectory, size});
        if (!gzip.skip((size + blockSize - 1) / blockSize * blockSize))
            return refuse(u"it ends inside "_s + name);
    }
    if (listing.entries.isEmpty())
        return refuse(u"it is empty"_s);
    if (progress)
        progress(total, total);
    return listing;
}
