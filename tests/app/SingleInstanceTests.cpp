// One app per session: the name on the (private) session bus decides, and a second start reaches the
// first. Each instance gets a connection of its own, as separate processes would.
#include "app/SingleInstance.h"
#include "testkit/Await.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDBusConnection sessionConnection(const QString& name)
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
}

QString testServiceName()
{
    return u"com.tolvek.brewbeacon.test%1"_s.arg(QCoreApplication::applicationPid());
}

} // namespace

TEST(SingleInstance, ASecondStartReachesTheFirstAndTakesOverOnceItHasQuit)
{
    ASSERT_TRUE(sessionConnection(u"first"_s).isConnected()) << "the tests run on a private session bus";
    auto first = std::make_unique<SingleInstance>(sessionConnection(u"first"_s), testServiceName());
    SingleInstance second(sessionConnection(u"second"_s), testServiceName());
    EXPECT_EQ(first->claim(), SingleInstance::Role::primary);
    EXPECT_EQ(first->claim(), SingleInstance::Role::primary) << "claiming again keeps the name";
    EXPECT_EQ(second.claim(), SingleInstance::Role::secondary);

    int activations = 0;
    QObject::connect(first.get(), &SingleInstance::activationRequested, [&] { ++activations; });
    qunsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_TRUE(second.activateRunning({{u"activation-token"_s, u"token-1"_s}}));
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), "token-1") << "the focus token is handed to the running app";
    // A token no desktop would make is not put into the environment.
    EXPECT_TRUE(second.activateRunning({{u"activation-token"_s, QString(4096, u'x')}}));
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), "token-1");
    qunsetenv("XDG_ACTIVATION_TOKEN");

    first.reset();
    EXPECT_FALSE(second.activateRunning({})) << "nobody answers once the first has quit";
    EXPECT_EQ(second.claim(), SingleInstance::Role::primary);
    SingleInstance third(sessionConnection(u"third"_s), testServiceName());
    EXPECT_EQ(third.claim(), SingleInstance::Role::secondary);
}

TEST(SingleInstance, WithoutASessionBusEveryStartRunsOnItsOwn)
{
    SingleInstance alone(QDBusConnection(u"no-such-connection"_s), testServiceName());
    EXPECT_EQ(alone.claim(), SingleInstance::Role::unavailable);
    EXPECT_FALSE(alone.activateRunning({}));
}

// The real program: a second start hands over to the first and ends; the first keeps running.
TEST(SingleInstance, TheAppStartedTwiceRaisesTheFirstAndEndsTheSecond)
{
    const QString program = qEnvironmentVariable("BREWBEACON_BINARY_DIR") + u"/src/app/brewbeacon"_s;
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"BREWBEACON_DISABLE_ANALYTICS"_s, u"1"_s);
    environment.insert(u"BREWBEACON_LOG_STDERR"_s, u"1"_s);
    environment.insert(u"BREWBEACON_SERVICE_URL"_s, u"http://127.0.0.1:9"_s);
    environment.insert(u"BREWBEACON_SYSTEM_BUS_ADDRESS"_s, u"unix:path=/nonexistent/brewbeacon-test-bus"_s);

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QByteArray firstLog;
    ASSERT_TRUE(
        spinUntil([&] { return bus->isServiceRegistered(SingleInstance::defaultServiceName()).value(); },
                  std::chrono::seconds(30)))
        << first.readAllStandardError().toStdString();

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(spinUntil(
        [&] {
            firstLog += first.readAllStandardError();
            return firstLog.contains("Activation requested by another start");
        },
        std::chrono::seconds(10)))
        << firstLog.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running) << "the first one keeps running";

    first.terminate();
    if (!first.waitForFinished(10000))
        first.kill();
}
