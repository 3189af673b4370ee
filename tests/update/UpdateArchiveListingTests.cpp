// The archive check reads member headers itself; archives are crafted with Python's tarfile, which
// writes whatever names, owners and types it is given.
#include "services/update/UpdateArchiveListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const char* craftScript = R"(
import io, json, sys, tarfile
path, fmt, members = sys.argv[1], sys.argv[2], json.loads(sys.argv[3])
formats = {"gnu": tarfile.GNU_FORMAT, "pax": tarfile.PAX_FORMAT, "ustar": tarfile.USTAR_FORMAT}
with tarfile.open(path, "w:gz", format=formats[fmt]) as tar:
    for m in members:
        info = tarfile.TarInfo(m["name"])
        info.uname = m.get("uname", "builder")
        kind = m.get("type", "file")
        info.type = {"file": tarfile.REGTYPE, "dir": tarfile.DIRTYPE, "symlink": tarfile.SYMTYPE,
                     "hardlink": tarfile.LNKTYPE, "chr": tarfile.CHRTYPE, "fifo": tarfile.FIFOTYPE}[kind]
        if kind in ("symlink", "hardlink"):
            info.linkname = m.get("target", "bin/brewbeacon")
        data = m.get("data", "").encode()
        info.size = len(data) if kind == "file" else 0
        info.mode = 0o755
        tar.addfile(info, io.BytesIO(data) if kind == "file" else None)
)";

class ArchiveListingTest : public ::testing::Test {
protected:
    QString craft(const QJsonArray& members, const QString& format = u"gnu"_s)
    {
        const QString path = directory.filePath(u"archive-%1.tar.gz"_s.arg(++count));
        QProcess python;
        python.start(u"python3"_s, {u"-c"_s, QString::fromUtf8(craftScript), path, format,
                                    QString::fromUtf8(QJsonDocument(members).toJson(QJsonDocument::Compact))});
        EXPECT_TRUE(python.waitForFinished(30000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return path;
    }

    QTemporaryDir directory;
    int count = 0;
};

QJsonObject member(const QString& name, const QString& type = u"file"_s, const QString& uname = u"builder"_s)
{
    return {{u"name"_s, name}, {u"type"_s, type}, {u"uname"_s, uname}, {u"data"_s, type == u"file"_s ? u"#!/bin/sh\n"_s : QString()}};
}

} // namespace

TEST_F(ArchiveListingTest, ListsPlainFilesAndFoldersWithLongAndExtendedNames)
{
    const QString deep = u"share/brewbeacon/"_s + QString(150, u'n') + u"/file"_s; // past the 100-byte name field
    for (const QString& format : {u"gnu"_s, u"pax"_s}) {
        const auto listing = UpdateArchiveListing::read(craft({member(u"./"_s, u"dir"_s), member(u"bin"_s, u"dir"_s),
                                                               member(u"bin/brewbeacon"_s), member(deep)},
                                                              format));
        ASSERT_EQ(listing.error, std::nullopt) << format.toStdString() << listing.error->description.toStdString();
        EXPECT_EQ(listing.entries, (QList<UpdateArchiveListing::Entry>{
                                       {u"."_s, true, 0}, {u"bin"_s, true, 0}, {u"bin/brewbeacon"_s, false, 10}, {deep, false, 10}}));
        EXPECT_EQ(listing.unpackedBytes, 20);
    }
}

TEST_F(ArchiveListingTest, RefusesNamesOutsideTheFolderLinksAndDevicesWhateverTheOwnerIsCalled)
{
    const QString spaced = u"build er 2026-01-01 10:00"_s; // shifted the fields of a verbose tar listing
    const QList<QJsonArray> crafted = {
        {member(u"bin/brewbeacon"_s, u"file"_s, spaced), member(u"../evil"_s, u"file"_s, spaced)},
        {member(u"/etc/evil"_s, u"file"_s, spaced)},
        {member(u"bin/../../evil"_s)},
        {member(u"share/"_s + QString(120, u'x') + u"/../../../evil"_s)},
        {member(u"bin/x"_s, u"symlink"_s)},
        {member(u"bin/y"_s, u"hardlink"_s)},
        {member(u"dev/tty"_s, u"chr"_s)},
        {member(u"run/pipe"_s, u"fifo"_s)},
    };
    for (const QString& format : {u"gnu"_s, u"pax"_s}) {
        for (const QJsonArray& members : crafted) {
            const auto listing = UpdateArchiveListing::read(craft(members, format));
            ASSERT_TRUE(listing.error.has_value()) << format.toStdString() << " "
                                                   << QJsonDocument(members).toJson().toStdString();
            EXPECT_EQ(listing.error->kind, UpdateError::Kind::unsafeArchive);
        }
    }
}

TEST_F(ArchiveListingTest, RefusesDamagedTruncatedAndNonArchives)
{
    const QString good = craft({member(u"bin/brewbeacon"_s), member(u"share/a"_s)});
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();

    const auto write = [&](const QString& name, const QByteArray& data) {
        QFile out(directory.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(data);
        return out.fileName();
    };
    QByteArray flipped = bytes;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x40);
    for (const QString& path : {write(u"cut"_s, bytes.left(bytes.size() / 2)), write(u"flipped"_s, flipped),
                                write(u"text"_s, "not a tarball"), directory.filePath(u"missing"_s)}) {
        const auto listing = UpdateArchiveListing::read(path);
        ASSERT_TRUE(listing.error.has_value()) << path.toStdString();
        EXPECT_EQ(listing.error->kind, UpdateError::Kind::unsafeArchive);
    }
}
