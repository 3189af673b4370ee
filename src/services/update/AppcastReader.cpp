#include "services/update/AppcastReader.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Collected while reading one <item>; checked once the item ends.
struct ItemDraft {
    QString title;
    QString version;
    QString displayVersion;
    std::optional<QString> minimumSystemVersion;
    std::optional<QUrl> releaseNotesURL;
    bool hasEnclosure = false;
    QXmlStreamAttributes enclosure;
};

std::optional<QString> attribute(const QXmlStreamAttributes& attributes, QStringView name)
{
    for (const auto& attribute : attributes) {
        if (attribute.qualifiedName() == name)
            return attribute.value().toString().trimmed();
    }
    return std::nullopt;
}

std::optional<AppcastItem> finish(const ItemDraft& draft, const QUrl& feedURL, AppcastRejectedItem::Reason& reason)
{
    using Reason = AppcastRejectedItem::Reason;
    if (!draft.hasEnclosure) {
        reason = Reason::missingEnclosure;
        return std::nullopt;
    }
    AppcastItem item;
    item.title = draft.title;
    item.version = attribute(draft.enclosure, u"sparkle:version").value_or(draft.version);
    if (item.version.isEmpty()) {
        reason = Reason::missingVersion;
        return std::nullopt;
    }
    item.displayVersion = attribute(draft.enclosure, u"sparkle:shortVersionString").value_or(draft.displayVersion);
    if (item.displayVersion.isEmpty())
        item.displayVersion = item.version;
    item.minimumSystemVersion = draft.minimumSystemVersion;
    item.releaseNotesURL = draft.releaseNotesURL;

    const auto url = attribute(draft.enclosure, u"url");
    if (!url || url->isEmpty()) {
        reason = Reason::missingURL;
        return std::nullopt;
    }
    item.enclosure.url = feedURL.resolved(QUrl(*url, QUrl::StrictMode));
    const QString scheme = item.enclosure.url.scheme().toLower();
    if (!item.enclosure.url.isValid() || (scheme != u"http" && scheme != u"https") || item.enclosure.url.host().isEmpty()) {
        reason = Reason::unsupportedURL;
        return std::nullopt;
    }

    const auto lengthText = attribute(draft.enclosure, u"length");
    if (!lengthText || lengthText->isEmpty()) {
        reason = Reason::missingLength;
        return std::nullopt;
    }
    bool isNumber = false;
    const qint64 length = lengthText->toLongLong(&isNumber);
    // A length past qint64 fails to convert but is still a number, just far too big.
    const bool allDigits = std::all_of(lengthText->begin(), lengthText->end(), [](QChar c) { return c.isDigit(); });
    if (allDigits && (!isNumber || length > AppcastReader::maximumEnclosureLength)) {
        reason = Reason::tooLarge;
        return std::nullopt;
    }
    if (!isNumber || !allDigits || length <= 0) {
        reason = Reason::badLength;
        return std::nullopt;
    }
    item.enclosure.length = length;
    item.enclosure.type = attribute(draft.enclosure, u"type").value_or(QString());
    if (const auto signature = attribute(draft.enclosure, u"sparkle:edSignature"); signature && !signature->isEmpty())
        item.enclosure.edSignature = *signature;
    return item;
}

} // namespace

QString AppcastRejectedItem::description() const
{
    switch (reason) {
    case Reason::missingEnclosure: return u"The update has no download."_s;
    case Reason::missingVersion: return u"The update has no version."_s;
    case Reason::missingURL: return u"The update's download has no address."_s;
    case Reason::unsupportedURL: return u"The update's download address is not an http or https URL."_s;
    case Reason::missingLength: return u"The update's download size is missing."_s;
    case Reason::badLength: return u"The update's download size is not a positive number."_s;
    case Reason::tooLarge: return u"The update's download is larger than BrewBeacon accepts."_s;
    }
    return {};
}

AppcastReadResult AppcastReader::read(const QByteArray& data, const QUrl& feedURL)
{
    if (data.trimmed().isEmpty())
        return AppcastReadResult::notAnAppcast(u"The feed is empty."_s);
    QXmlStreamReader xml(data);
    xml.setNamespaceProcessing(false);

    if (!xml.readNextStartElement()) {
        if (xml.hasError())
            return AppcastReadResult::malformed(xml.errorString());
        return AppcastReadResult::notAnAppcast(u"The feed is empty."_s);
    }
    if (xml.qualifiedName() != u"rss")
        return AppcastReadResult::notAnAppcast(u"The feed starts with <%1> instead of <rss>."_s.arg(xml.qualifiedName()));

    Appcast appcast;
    bool sawChannel = false;
    std::optional<ItemDraft> draft;
    int itemIndex = 0;
    QString* text = nullptr; // the draft field the current element's text goes to

    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.qualifiedName();
            text = nullptr;
            if (name == u"channel") {
                sawChannel = true;
            } else if (name == u"item" && sawChannel) {
                draft.emplace();
            } else if (draft) {
                if (name == u"title")
                    text = &draft->title;
                else if (name == u"sparkle:version")
                    text = &draft->version;
                else if (name == u"sparkle:shortVersionString")
                    text = &draft->displayVersion;
                else if (name == u"sparkle:minimumSystemVersion")
                    draft->minimumSystemVersion = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                else if (name == u"sparkle:releaseNotesLink")
                    draft->releaseNotesURL = feedURL.resolved(QUrl(xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed()));
                else if (name == u"enclosure" && !draft->hasEnclosure) {
                    draft->hasEnclosure = true;
                    draft->enclosure = xml.attributes();
                }
            } else if (name == u"title" && sawChannel) {
                appcast.title = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            }
        } else if (token == QXmlStreamReader::Characters && text) {
            text->append(xml.text());
        } else if (token == QXmlStreamReader::EndElement) {
            text = nullptr;
            if (xml.qualifiedName() == u"item" && draft) {
                for (QString* field : {&draft->title, &draft->version, &draft->displayVersion})
                    *field = field->trimmed();
                AppcastRejectedItem::Reason reason{};
                if (auto item = finish(*draft, feedURL, reason))
                    appcast.items.append(std::move(*item));
                else
                    appcast.rejected.append({itemIndex, reason});
                ++itemIndex;
                draft.reset();
            }
        }
    }
    if (xml.hasError()) {
        return AppcastReadResult::malformed(
            u"%1 (line %2, column %3)"_s.arg(xml.errorString()).arg(xml.lineNumber()).arg(xml.columnNumber()));
    }
    if (!sawChannel)
        return AppcastReadResult::notAnAppcast(u"The feed has no <channel>."_s);
    return AppcastReadResult::success(std::move(appcast));
}
