// brewbeacon-cli as a user or a script runs it: a real process against a simulated NetworkManager on a
// private bus and a loopback detection page.
#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"
#include "testkit/SimulatedNetworkManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using AP = SimulatedNetworkManager::AccessPoint;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

QStringList names(const QJsonArray& candidates)
{
    QStringList list;
    for (const auto& candidate : candidates)
        list.append(candidate.toObject().value(u"ssid"_s).toString());
    return list;
}

} // namespace

class CliProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString();
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("BREWBEACON_CLI"));
        internetAnswers();
    }

    void internetAnswers()
    {
        detection.route("/hotspot-detect.html", LoopbackHttpResponse::text(200, "<HTML><BODY>Success</BODY></HTML>"));
    }
    void portalAnswers()
    {
        detection.route("/hotspot-detect.html", LoopbackHttpResponse::text(200, "<html><form>Sign in to Cafe Wi-Fi</form></html>"));
    }
    QString deviceWithNetworks()
    {
        const QString device = nm.addWiFiDevice();
        nm.setScanBehaviour(device, {}, 0);
        nm.addAccessPoint(device, AP::open("Cafe Guest", 80));
        nm.addAccessPoint(device, AP::open("  cafe guest", 40));
        nm.addAccessPoint(device, AP::wpa2Personal("Home", 95));
        nm.addAccessPoint(device, AP::wpa2Enterprise("Campus", 60));
        return device;
    }

    // Runs the program without blocking this thread, which serves the detection page.
    CliRun cli(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"BREWBEACON_SYSTEM_BUS_ADDRESS"_s, nm.address());
        environment.insert(u"BREWBEACON_DETECTION_URL"_s, detection.url(u"/hotspot-detect.html"_s).toString());
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("BREWBEACON_CLI"), arguments);
        const bool finished = spinUntil([&] { return process.state() == QProcess::NotRunning; }, 60s);
        EXPECT_TRUE(finished) << "brewbeacon-cli " << arguments.join(u' ').toStdString() << " did not finish";
        if (!finished)
            process.kill();
        process.waitForFinished();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "crashed: " << arguments.join(u' ').toStdString();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    SimulatedNetworkManager nm;
    LoopbackHttpServer detection;
};

TEST_F(CliProgramTest, ScansRanksAndJoinsOnlyOpenNetworks)
{
    deviceWithNetworks();

    const CliRun scan = cli({u"scan"_s, u"--json"_s});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QJsonArray candidates = scan.json()[u"snapshot"_s][u"candidates"_s].toArray();
    // One entry per trimmed, lower-cased name: the stronger "Cafe Guest" stands for both spellings.
    EXPECT_EQ(names(candidates).size(), 3);
    EXPECT_TRUE(names(candidates).contains(u"Cafe Guest"_s));
    EXPECT_FALSE(names(candidates).contains(u"  cafe guest"_s));
    EXPECT_EQ(candidates.first()[u"ssid"_s].toString(), u"Cafe Guest"_s) << "open networks rank first";

    const CliRun password = cli({u"join"_s, u"Home"_s});
    EXPECT_EQ(password.exitCode, 4);
    const CliRun enterprise = cli({u"join"_s, u"Campus"_s, u"--json"_s});
    EXPECT_EQ(enterprise.exitCode, 4);
    EXPECT_EQ(enterprise.json()[u"outcome"_s].toString(), u"enterprise_unsupported"_s);
    const CliRun missing = cli({u"join"_s, u"Airport"_s});
    EXPECT_EQ(missing.exitCode, 5);
    EXPECT_TRUE(nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s).isEmpty())
        << "refused networks are never activated";

    // A loosely typed name finds the network; the join is verified against the detection page.
    const CliRun join = cli({u"join"_s, u"cafe guest"_s});
    EXPECT_EQ(join.exitCode, 0) << join.out.toStdString() << join.err.toStdString();
    EXPECT_TRUE(join.out.startsWith(u"Joined Cafe Guest."_s)) << join.out.toStdString();

    const CliRun status = cli({u"status"_s, u"--json"_s});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.json()[u"snapshot"_s][u"currentSSID"_s].toString(), u"Cafe Guest"_s);
    EXPECT_EQ(status.json()[u"path"_s][u"state"_s].toString(), u"satisfied"_s);

    const CliRun check = cli({u"check"_s, u"--json"_s});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
    EXPECT_EQ(check.json()[u"snapshot"_s][u"connection"_s][u"state"_s].toString(), u"connected"_s);
    EXPECT_EQ(check.json()[u"snapshot"_s][u"portal"_s][u"state"_s].toString(), u"online"_s);
    EXPECT_TRUE(check.json()[u"workReady"_s][u"score"_s].isDouble());

    const CliRun listed = cli({u"scan"_s});
    EXPECT_TRUE(listed.out.contains(QRegularExpression(u"^\\*.*Cafe Guest$"_s, QRegularExpression::MultilineOption)))
        << "the joined network is marked:\n" << listed.out.toStdString();
}

TEST_F(CliProgramTest, PortalIsReportedByJoinAndCheck)
{
    deviceWithNetworks();
    portalAnswers();

    const CliRun join = cli({u"join"_s, u"Cafe Guest"_s});
    EXPECT_EQ(join.exitCode, 3) << join.out.toStdString();

    const CliRun check = cli({u"check"_s, u"--json"_s});
    EXPECT_EQ(check.exitCode, 3);
    EXPECT_EQ(check.json()[u"snapshot"_s][u"connection"_s][u"state"_s].toString(), u"captive"_s);
    EXPECT_EQ(check.json()[u"workReady"_s][u"level"_s].toString(), u"blocked"_s);

    // A gateway that never stops talking is judged by what it said first, and the check ends.
    detection.route("/hotspot-detect.html", LoopbackHttpResponse::endless(200, "<p>Welcome to the cafe</p>\n"));
    EXPECT_EQ(cli({u"check"_s}).exitCode, 3);

    // Once the portal lets the computer through, the same check says so.
    internetAnswers();
    EXPECT_EQ(cli({u"check"_s}).exitCode, 0);
}

TEST_F(CliProgramTest, MissingDeviceAndRadioOffMeanWiFiUnavailable)
{
    EXPECT_EQ(cli({u"scan"_s}).exitCode, 6);
    EXPECT_EQ(cli({u"status"_s}).exitCode, 6);
    EXPECT_EQ(cli({u"join"_s, u"Cafe Guest"_s}).exitCode, 6);

    deviceWithNetworks();
    nm.setWirelessEnabled(false);
    const CliRun off = cli({u"scan"_s, u"--json"_s});
    EXPECT_EQ(off.exitCode, 6);
    EXPECT_EQ(off.json()[u"snapshot"_s][u"connection"_s][u"message"_s].toString(), u"Wi-Fi is off."_s);
    const CliRun join = cli({u"join"_s, u"Cafe Guest"_s});
    EXPECT_EQ(join.exitCode, 6);
    EXPECT_TRUE(join.out.contains(u"Turn Wi-Fi on, then scan again."_s));
}

TEST_F(CliProgramTest, UsageMistakesExitTwoWithTheReason)
{
    const CliRun bogus = cli({u"connect"_s});
    EXPECT_EQ(bogus.exitCode, 2);
    EXPECT_TRUE(bogus.err.contains(u"Unknown command: connect"_s));
    EXPECT_TRUE(bogus.out.isEmpty()) << "nothing a script would parse";
    const CliRun help = cli({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(u"Usage: brewbeacon-cli"_s));
}
