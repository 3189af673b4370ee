// The status window's view model over an application state fed by stand-ins: what a user would read
// and press in the window, before any QML lays it out.
#include "testkit/AppStateFakes.h"
#include "testkit/Await.h"
#include "testkit/Candidates.h"
#include "ui/StatusViewModel.h"

#include <QTemporaryDir>
#include <QVariantMap>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

WiFiSnapshot around(const QList<PublicNetworkCandidate>& candidates)
{
    WiFiSnapshot snapshot;
    snapshot.connectionState = ConnectionState::ready();
    snapshot.candidates = candidates;
    snapshot.bestNetwork = candidates.first();
    snapshot.lastUpdated = QDateTime::currentDateTimeUtc();
    return snapshot;
}

QStringList ssids(const QVariantList& rows)
{
    QStringList names;
    for (const QVariant& row : rows)
        names.append(row.toMap().value(u"ssid"_s).toString());
    return names;
}

} // namespace

TEST(StatusViewModel, ListsOpenNetworksAndJoinsTheRowThatWasPressed)
{
    QTemporaryDir dir;
    AppStateRig rig;
    rig.path->status = NetworkPathStatus::unsatisfied();
    rig.scanner->snapshot = around({network(u"Cafe A"_s, 80), network(u"Home"_s, 95, NetworkSecurity::personal),
                                    network(u"Cafe B"_s, 60)});
    AppState state(rig.collaborators(dir.filePath(u"defaults.ini"_s)));
    StatusViewModel model(state, QLocale(QLocale::English));
    int changes = 0;
    QObject::connect(&model, &StatusViewModel::changed, [&] { ++changes; });

    model.refresh();
    ASSERT_TRUE(spinUntil([&] { return !state.isCheckingConnectivity(); }));
    EXPECT_GT(changes, 0) << "the window redraws when the check publishes";
    EXPECT_EQ(ssids(model.networks()), (QStringList{u"Cafe A"_s, u"Cafe B"_s})) << "only open networks, best first";
    EXPECT_EQ(model.networks().first().toMap().value(u"rank"_s).toInt(), 1);
    EXPECT_EQ(model.assistantTitle(), u"Cafe Wi-Fi found"_s);
    EXPECT_FALSE(model.canOpenPortal());

    rig.router->gate.closed = true;
    model.connectToRow(1);
    ASSERT_EQ(rig.router->requests.size(), 1);
    EXPECT_EQ(rig.router->requests.first().candidates.first().ssid, u"Cafe B"_s);
    EXPECT_EQ(model.assistantTitle(), u"Connecting to cafe Wi-Fi"_s);
    EXPECT_TRUE(model.networks().at(0).toMap().value(u"disabled"_s).toBool()) << "every row waits while a join runs";
    model.connectToRow(7); // out of range: nothing
    rig.router->gate.open();
    await(state.joinRunFinished());
    EXPECT_EQ(model.assistantTitle(), u"Connected to Cafe B"_s);
}
