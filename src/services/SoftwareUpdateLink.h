#pragma once

#include <QUrl>

// Where the update feed lives when the build names none of its own.
struct SoftwareUpdateLink {
    static QString feedPath() { return QStringLiteral("/appcast.xml"); }
    static QUrl fallbackFeed();
};
