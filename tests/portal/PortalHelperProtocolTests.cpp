#include "portal/helper/PortalHelperProtocol.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Type = PortalHelperMessage::Type;
using Sender = PortalHelperMessage::Sender;
using Error = PortalHelperProtocol::Error;

namespace {

QByteArray rawFrame(const QByteArray& body)
{
    QByteArray framed(4, '\0');
    qToBigEndian(quint32(body.size()), framed.data());
    return framed + body;
}

QByteArray hello(int version = PortalHelperProtocol::version)
{
    PortalHelperMessage message = PortalHelperMessage::ofType(Type::hello);
    message.version = version;
    return PortalHelperProtocol::frame(message);
}

// What a decoder for `from` makes of a greeting followed by the bytes.
std::optional<Error> errorAfterHello(Sender from, const QByteArray& bytes)
{
    PortalHelperDecoder decoder(from);
    decoder.append(hello() + bytes);
    while (decoder.next()) {
    }
    return decoder.error();
}

QList<PortalHelperMessage> everyMessage()
{
    PortalAutofillProfile profile;
    profile.fullName = u"Linh Trần"_s;
    profile.birthYear = u"1998"_s;
    QList<PortalHelperMessage> messages;
    for (const Type type : {Type::content, Type::orderOut, Type::bringToFront, Type::handoffReason, Type::close,
                            Type::ping, Type::pong, Type::event, Type::save, Type::openInBrowser, Type::shown,
                            Type::closed}) {
        PortalHelperMessage message = PortalHelperMessage::ofType(type);
        message.url = type == Type::content ? QUrl(u"http://192.0.2.1/portal?next=%2Fok&lang=vi"_s) : QUrl();
        message.language = type == Type::content ? u"vi_VN"_s : QString();
        message.profile = type == Type::content || type == Type::save ? profile : PortalAutofillProfile();
        message.sequence = type == Type::ping || type == Type::pong ? 41 : 0;
        message.text = type == Type::handoffReason || type == Type::shown ? u"Cổng chờ \"xác nhận\""_s : QString();
        if (type == Type::event) {
            message.event.didRun = true;
            message.event.submitted = true;
            message.event.filledFields = 2;
            message.event.fieldCategories = {u"full_name"_s};
            message.event.reason = u"waiting"_s;
        }
        messages.append(message);
    }
    return messages;
}

} // namespace

TEST(PortalHelperProtocol, EveryMessageSurvivesTheTripInAnyChunking)
{
    for (const int chunk : {1, 3, 7, 4096}) {
        PortalHelperDecoder fromTray(Sender::tray);
        PortalHelperDecoder fromHelper(Sender::helper);
        QByteArray trayBytes = hello();
        QByteArray helperBytes = hello();
        QList<PortalHelperMessage> trayMessages;
        QList<PortalHelperMessage> helperMessages;
        for (const PortalHelperMessage& message : everyMessage()) {
            const bool byTray = PortalHelperMessage::senderOf(message.type) == Sender::tray;
            (byTray ? trayBytes : helperBytes) += PortalHelperProtocol::frame(message);
            (byTray ? trayMessages : helperMessages).append(message);
        }
        const auto decodeAll = [chunk](PortalHelperDecoder& decoder, const QByteArray& bytes) {
            QList<PortalHelperMessage> decoded;
            for (qsizetype at = 0; at < bytes.size(); at += chunk) {
                decoder.append(bytes.mid(at, chunk));
                while (const auto message = decoder.next())
                    decoded.append(*message);
            }
            decoder.finish();
            return decoded;
        };
        const QList<PortalHelperMessage> gotFromTray = decodeAll(fromTray, trayBytes);
        const QList<PortalHelperMessage> gotFromHelper = decodeAll(fromHelper, helperBytes);
        EXPECT_FALSE(fromTray.error()) << chunk;
        EXPECT_FALSE(fromHelper.error()) << chunk;
        ASSERT_EQ(gotFromTray.size(), trayMessages.size() + 1) << chunk;
        ASSERT_EQ(gotFromHelper.size(), helperMessages.size() + 1) << chunk;
        EXPECT_EQ(gotFromTray.mid(1), trayMessages) << chunk;
        EXPECT_EQ(gotFromHelper.mid(1), helperMessages) << chunk;
    }
}

TEST(PortalHelperProtocol, HostileOrBrokenStreamsEndWithTheirError)
{
    const QByteArray validEvent = R"("event":{"didRun":true,"blocked":false,"reason":null,"filledFields":1,)"
                                  R"("checkedBoxes":0,"submitted":false,"fieldCategories":[]})";
    const QList<std::tuple<const char*, QByteArray, Error>> cases{
        {"not JSON", rawFrame("{\"type\":"), Error::notJSON},
        {"an array", rawFrame("[1,2]"), Error::notJSON},
        {"empty frame", rawFrame(""), Error::notJSON},
        {"unknown type", rawFrame(R"({"type":"format-disk"})"), Error::unknownType},
        {"type not a string", rawFrame(R"({"type":7})"), Error::unknownType},
        {"the other side's message", rawFrame(R"({"type":"close"})"), Error::unknownType},
        {"second hello", hello(), Error::outOfOrder},
        {"pong without sequence", rawFrame(R"({"type":"pong"})"), Error::badField},
        {"negative sequence", rawFrame(R"({"type":"pong","sequence":-1})"), Error::badField},
        {"fractional sequence", rawFrame(R"({"type":"pong","sequence":1.5})"), Error::badField},
        {"title too long", rawFrame(R"({"type":"shown","text":")" + QByteArray(9000, 'a') + "\"}"), Error::badField},
        {"profile of numbers", rawFrame(R"({"type":"save","profile":{"fullName":12}})"), Error::badField},
        {"profile field too long",
         rawFrame(R"({"type":"save","profile":{"fullName":")" + QByteArray(600, 'a') + "\"}}"), Error::badField},
        {"event missing a count", rawFrame(R"({"type":"event","event":{"didRun":true}})"), Error::badField},
        {"oversized header", QByteArray::fromHex("7fffffff") + "{", Error::oversized},
        {"just over the limit", rawFrame(QByteArray(PortalHelperProtocol::maxMessageBytes + 1, ' ')), Error::oversized},
    };
    for (const auto& [name, bytes, expected] : cases)
        EXPECT_EQ(errorAfterHello(Sender::helper, bytes), expected) << name;
    EXPECT_FALSE(errorAfterHello(Sender::helper, rawFrame("{\"type\":\"event\"," + validEvent + "}")))
        << "the valid event the broken ones are made from";

    // What the tray sends is checked as strictly by the helper.
    EXPECT_EQ(errorAfterHello(Sender::tray, rawFrame(R"J({"type":"content","url":"javascript:alert(1)","profile":{},"language":"en"})J")),
              Error::badField);
    EXPECT_EQ(errorAfterHello(Sender::tray, rawFrame(R"({"type":"content","url":"http://192.0.2.1/","profile":{}})")),
              Error::badField);
    EXPECT_FALSE(errorAfterHello(Sender::tray, rawFrame(R"({"type":"content","url":"about:blank","profile":{},"language":"en_US"})")));
}

TEST(PortalHelperProtocol, TheGreetingComesFirstWithTheSameVersion)
{
    PortalHelperDecoder early(Sender::helper);
    early.append(rawFrame(R"({"type":"closed"})") + hello());
    EXPECT_FALSE(early.next());
    EXPECT_EQ(early.error(), Error::outOfOrder);

    PortalHelperDecoder newer(Sender::helper);
    newer.append(hello(PortalHelperProtocol::version + 1));
    EXPECT_FALSE(newer.next());
    EXPECT_EQ(newer.error(), Error::versionMismatch);

    // After an error nothing more comes out, even well-formed messages.
    newer.append(hello() + rawFrame(R"({"type":"closed"})"));
    EXPECT_FALSE(newer.next());
    EXPECT_EQ(newer.error(), Error::versionMismatch);
}

TEST(PortalHelperProtocol, AStreamThatEndsInsideAFrameIsTruncated)
{
    const QByteArray closed = rawFrame(R"({"type":"closed"})");
    for (const qsizetype cut : {qsizetype(2), qsizetype(4), closed.size() - 1}) {
        PortalHelperDecoder decoder(Sender::helper);
        decoder.append(hello() + closed.left(cut));
        EXPECT_TRUE(decoder.next()) << "the greeting";
        EXPECT_FALSE(decoder.next());
        decoder.finish();
        EXPECT_EQ(decoder.error(), Error::truncated) << cut;
    }
    PortalHelperDecoder whole(Sender::helper);
    whole.append(hello() + closed);
    while (whole.next()) {
    }
    whole.finish();
    EXPECT_FALSE(whole.error());
}
