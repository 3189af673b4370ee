#include "state/SystemWakeObserver.h"
#include "testkit/Await.h"
#include "testkit/PrivateSystemBus.h"

#include <QDBusMessage>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SystemWakeObserverTests, WakesOnlyWhenSleepEnds)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.start()) << bus.errorText().toStdString();
    ASSERT_TRUE(bus.startMock(u"logind"_s, u"org.freedesktop.login1"_s)) << bus.errorText().toStdString();
    SystemWakeObserver observer(bus.connection());
    int woke = 0;
    QObject::connect(&observer, &SystemWakeObserver::didWake, [&] { ++woke; });
    ASSERT_TRUE(observer.start());
    EXPECT_TRUE(observer.start());

    auto emitPrepareForSleep = [&](bool goingToSleep) {
        QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                                           u"org.freedesktop.DBus.Mock"_s, u"EmitSignal"_s);
        call << u"org.freedesktop.login1.Manager"_s << u"PrepareForSleep"_s << u"b"_s
             << QVariant::fromValue(QVariantList{goingToSleep});
        const QDBusMessage reply = bus.connection().call(call);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    };
    // Signals arrive in order, so once the wake is seen the earlier going-to-sleep one has been handled.
    emitPrepareForSleep(true);
    emitPrepareForSleep(false);
    ASSERT_TRUE(spinUntil([&] { return woke >= 1; }));
    emitPrepareForSleep(true);
    emitPrepareForSleep(false);
    ASSERT_TRUE(spinUntil([&] { return woke >= 2; }));
    EXPECT_EQ(woke, 2);
}
