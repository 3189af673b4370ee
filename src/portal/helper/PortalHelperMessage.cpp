#include "portal/helper/PortalHelperMessage.h"

using namespace Qt::StringLiterals;

PortalHelperMessage PortalHelperMessage::ofType(Type type)
{
    PortalHelperMessage message;
    message.type = type;
    return message;
}

PortalHelperMessage::Sender PortalHelperMessage::senderOf(Type type)
{
    switch (type) {
    case Type::hello:
    case Type::content:
    case Type::orderOut:
    case Type::bringToFront:
    case Type::handoffReason:
    case Type::close:
    case Type::ping:
        return Sender::tray;
    case Type::pong:
    case Type::event:
    case Type::save:
    case Type::openInBrowser:
    case Type::shown:
    case Type::closed:
        return Sender::helper;
    }
    return Sender::tray;
}

QString PortalHelperMessage::typeName(Type type)
{
    switch (type) {
    case Type::hello:
        return u"hello"_s;
    case Type::content:
        return u"content"_s;
    case Type::orderOut:
        return u"orderOut"_s;
    case Type::bringToFront:
        return u"bringToFront"_s;
    case Type::handoffReason:
        return u"handoffReason"_s;
    case Type::close:
        return u"close"_s;
    case Type::ping:
        return u"ping"_s;
    case Type::pong:
        return u"pong"_s;
    case Type::event:
        return u"event"_s;
    case Type::save:
        return u"save"_s;
    case Type::openInBrowser:
        return u"openInBrowser"_s;
    case Type::shown:
        return u"shown"_s;
    case Type::closed:
        return u"closed"_s;
    }
    return {};
}
