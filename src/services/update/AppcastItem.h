#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// The download of one appcast item.
struct AppcastEnclosure {
    QUrl url;         // absolute http(s); relative URLs in the feed are resolved against the feed's URL
    qint64 length = 0; // bytes, as the feed promises them; the download must match exactly
    QString type;
    std::optional<QString> edSignature; // base64 ed25519 signature of the whole file, if the feed gives one

    bool operator==(const AppcastEnclosure&) const = default;
};

// One release the feed offers.
struct AppcastItem {
    QString title;
    QString version;        // compared with the running build number
    QString displayVersion; // for people; the version when the feed gives none
    std::optional<QString> minimumSystemVersion;
    std::optional<QUrl> releaseNotesURL;
    AppcastEnclosure enclosure;

    bool operator==(const AppcastItem&) const = default;
};

// An item the reader could not use, with why.
struct AppcastRejectedItem {
    enum class Reason { missingEnclosure, missingVersion, missingURL, unsupportedURL, missingLength, badLength, tooLarge };

    int index = 0; // 0-based position among the channel's items
    Reason reason = Reason::missingEnclosure;

    QString description() const;
    bool operator==(const AppcastRejectedItem&) const = default;
};

struct Appcast {
    QString title;
    QList<AppcastItem> items;
    QList<AppcastRejectedItem> rejected;

    bool operator==(const Appcast&) const = default;
};
