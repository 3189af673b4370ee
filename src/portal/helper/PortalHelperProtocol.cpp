#include "portal/helper/PortalHelperProtocol.h"

#include "portal/PortalAutofillProfileJSON.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <cmath>

using namespace Qt::StringLiterals;
using Type = PortalHelperMessage::Type;
using PortalHelperProtocol::Error;

namespace {

constexpr qsizetype headerBytes = 4;
constexpr qsizetype maxLanguageLength = 40;
constexpr Type allTypes[] = {Type::hello,  Type::content, Type::orderOut, Type::bringToFront, Type::handoffReason,
                             Type::close,  Type::ping,    Type::pong,     Type::event,        Type::save,
                             Type::openInBrowser, Type::shown, Type::closed};

std::optional<Type> typeNamed(const QString& name)
{
    for (const Type type : allTypes)
        if (PortalHelperMessage::typeName(type) == name)
            return type;
    return std::nullopt;
}

std::optional<qint64> wholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9007199254740992.0)
        return std::nullopt;
    return qint64(number);
}

std::optional<QString> boundedText(const QJsonValue& value, qsizetype limit = PortalHelperProtocol::maxTextLength)
{
    if (!value.isString() || value.toString().size() > limit)
        return std::nullopt;
    return value.toString();
}

std::optional<PortalAutofillProfile> profileFrom(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const PortalAutofillProfileDecoding decoding =
        PortalAutofillProfileJSON::decode(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (decoding.kind != PortalAutofillProfileDecoding::Kind::Decoded)
        return std::nullopt;
    const PortalAutofillProfile& profile = decoding.profile;
    for (const QString* field : {&profile.fullName, &profile.firstName, &profile.lastName, &profile.emailAddress,
                                 &profile.phoneNumber, &profile.postalCode, &profile.company, &profile.birthYear,
                                 &profile.birthMonth, &profile.birthDay, &profile.gender})
        if (field->size() > 512)
            return std::nullopt;
    return profile;
}

QJsonObject profileObject(const PortalAutofillProfile& profile)
{
    return QJsonDocument::fromJson(PortalAutofillProfileJSON::encode(profile)).object();
}

// The portal's address: a web page, or the blank page the self-test opens.
std::optional<QUrl> portalAddress(const QJsonValue& value)
{
    const std::optional<QString> text = boundedText(value);
    if (!text)
        return std::nullopt;
    const QUrl url(*text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || !(scheme == "http"_L1 || scheme == "https"_L1 || scheme == "about"_L1))
        return std::nullopt;
    return url;
}

std::optional<PortalHelperMessage> fields(Type type, const QJsonObject& object)
{
    PortalHelperMessage message = PortalHelperMessage::ofType(type);
    switch (type) {
    case Type::hello: {
        const auto version = wholeNumber(object.value("version"_L1));
        if (!version || *version < 0 || *version > 1'000'000)
            return std::nullopt;
        message.version = int(*version);
        return message;
    }
    case Type::content: {
        const auto url = portalAddress(object.value("url"_L1));
        const auto profile = profileFrom(object.value("profile"_L1));
        const auto language = boundedText(object.value("language"_L1), maxLanguageLength);
        if (!url || !profile || !language)
            return std::nullopt;
        message.url = *url;
        message.profile = *profile;
        message.language = *language;
        return message;
    }
    case Type::ping:
    case Type::pong: {
        const auto sequence = wholeNumber(object.value("sequence"_L1));
        if (!sequence || *sequence < 0)
            return std::nullopt;
        message.sequence = *sequence;
        return message;
    }
    case Type::handoffReason:
    case Type::shown: {
        const auto text = boundedText(object.value("text"_L1));
        if (!text)
            return std::nullopt;
        message.text = *text;
        return message;
    }
    case Type::event: {
        const QJsonValue value = object.value("event"_L1);
        const auto event = value.isObject()
            ? PortalAutofillEvent::fromJSON(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact))
            : std::nullopt;
        if (!event || (event->reason && event->reason->size() > PortalHelperProtocol::maxTextLength))
            return std::nullopt;
        message.event = *event;
        return message;
    }
    case Type::save: {
        const auto profile = profileFrom(object.value("profile"_L1));
        if (!profile)
            return std::nullopt;
        message.profile = *profile;
        return message;
    }
    case Type::orderOut:
    case Type::bringToFront:
    case Type::close:
    case Type::openInBrowser:
    case Type::closed:
        return message;
    }
    return std::nullopt;
}

} // namespace

QString PortalHelperProtocol::errorName(Error error)
{
    switch (error) {
    case Error::oversized:
        return u"oversized"_s;
    case Error::truncated:
        return u"truncated"_s;
    case Error::notJSON:
        return u"not_json"_s;
    case Error::unknownType:
        return u"unknown_type"_s;
    case Error::badField:
        return u"bad_field"_s;
    case Error::versionMismatch:
        return u"version_mismatch"_s;
    case Error::outOfOrder:
        return u"out_of_order"_s;
    }
    return {};
}

QByteArray PortalHelperProtocol::frame(const PortalHelperMessage& message)
{
    QJsonObject object{{"type"_L1, PortalHelperMessage::typeName(message.type)}};
    switch (message.type) {
    case Type::hello:
        object.insert("version"_L1, message.version);
        break;
    case Type::content:
        object.insert("url"_L1, message.url.toString(QUrl::FullyEncoded));
        object.insert("profile"_L1, profileObject(message.profile));
        object.insert("language"_L1, message.language);
        break;
    case Type::ping:
    case Type::pong:
        object.insert("sequence"_L1, double(message.sequence));
        break;
    case Type::handoffReason:
    case Type::shown:
        object.insert("text"_L1, message.text);
        break;
    case Type::event:
        object.insert("event"_L1, QJsonDocument::fromJson(message.event.toJSON()).object());
        break;
    case Type::save:
        object.insert("profile"_L1, profileObject(message.profile));
        break;
    case Type::orderOut:
    case Type::bringToFront:
    case Type::close:
    case Type::openInBrowser:
    case Type::closed:
        break;
    }
    const QByteArray body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray framed(headerBytes, '\0');
    qToBigEndian(quint32(body.size()), framed.data());
    return framed + body;
}

void PortalHelperDecoder::append(const QByteArray& bytes)
{
    if (!m_error)
        m_buffer.append(bytes);
}

std::optional<PortalHelperMessage> PortalHelperDecoder::next()
{
    if (m_error || m_buffer.size() < headerBytes)
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(m_buffer.constData());
    // Judged from the header alone: an oversized frame is never buffered.
    if (length > quint32(PortalHelperProtocol::maxMessageBytes))
        return fail(Error::oversized);
    if (m_buffer.size() < headerBytes + qsizetype(length))
        return std::nullopt;
    const QByteArray body = m_buffer.mid(headerBytes, length);
    m_buffer.remove(0, headerBytes + length);

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail(Error::notJSON);
    const QJsonObject object = document.object();
    const QJsonValue typeValue = object.value("type"_L1);
    const std::optional<Type> type = typeValue.isString() ? typeNamed(typeValue.toString()) : std::nullopt;
    if (!type || (PortalHelperMessage::senderOf(*type) != m_from && *type != Type::hello))
        return fail(Error::unknownType);
    if ((*type == Type::hello) == m_greeted)
        return fail(Error::outOfOrder);
    std::optional<PortalHelperMessage> message = fields(*type, object);
    if (!message)
        return fail(Error::badField);
    if (*type == Type::hello) {
        if (message->version != PortalHelperProtocol::version)
            return fail(Error::versionMismatch);
        m_greeted = true;
    }
    return message;
}

void PortalHelperDecoder::finish()
{
    if (!m_error && !m_buffer.isEmpty())
        fail(Error::truncated);
}

std::optional<PortalHelperMessage> PortalHelperDecoder::fail(Error error)
{
    m_error = error;
    m_buffer.clear();
    return std::nullopt;
}
