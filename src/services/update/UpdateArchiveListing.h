#pragma once

#include "services/update/UpdateError.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Reads the member headers of a gzip tarball itself, rather than parsing a tool's listing, so no owner
// name, date format or odd file name can shift what is taken for a member's name or type. Only plain
// files and folders below the installation pass: no absolute names, no "..", no links, devices or
// other special members, and the archive may not unpack to more than a bound.
struct UpdateArchiveListing {
    struct Entry {
        QString name; // as stored, without a trailing "/"
        bool isDirectory = false;
        qint64 size = 0;

        bool operator==(const Entry&) const = default;
    };

    static constexpr qint64 maximumUnpackedBytes = qint64(4) << 30;
    static constexpr int maximumEntries = 50'000;

    std::optional<UpdateError> error; // why the archive is refused; entries are then incomplete
    QList<Entry> entries;
    qint64 unpackedBytes = 0;

    // `progress` gets the compressed bytes read so far and the file's size.
    using Progress = std::function<void(qint64 read, qint64 total)>;
    static UpdateArchiveListing read(const QString& archivePath, const Progress& progress = {});

    // Whether a stored name stays inside the folder it is unpacked into.
    static bool isSafeName(const QString& name);
};
