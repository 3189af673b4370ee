#pragma once

#include "services/update/AppcastItem.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// What reading a feed gave: the appcast, or why there is none.
struct AppcastReadResult {
    enum class Kind { read, malformed, notAnAppcast };

    Kind kind = Kind::read;
    Appcast appcast;
    QString detail; // the XML error with its position, or what was found instead of an RSS channel

    static AppcastReadResult success(Appcast appcast) { return {Kind::read, std::move(appcast), {}}; }
    static AppcastReadResult malformed(QString detail) { return {Kind::malformed, {}, std::move(detail)}; }
    static AppcastReadResult notAnAppcast(QString detail) { return {Kind::notAnAppcast, {}, std::move(detail)}; }
    bool isRead() const { return kind == Kind::read; }

    bool operator==(const AppcastReadResult&) const = default;
};

// Reads an RSS appcast whose items carry "sparkle:"-prefixed versions and signatures. Prefixes are
// matched as written, whatever namespace URI the feed binds them to.
class AppcastReader {
public:
    // The largest download an item may announce; anything bigger is rejected before it is fetched.
    static constexpr qint64 maximumEnclosureLength = qint64(1) << 30;
    // The largest feed read; a feed lists a few releases, so anything bigger is not one.
    static constexpr qint64 maximumFeedBytes = qint64(4) << 20;

    static AppcastReadResult read(const QByteArray& data, const QUrl& feedURL);
};
