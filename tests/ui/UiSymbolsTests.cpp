#include "ui/ConnectedWiFiPresentation.h"
#include "ui/DiagnosticStatus.h"
#include "ui/OnboardingPresentation.h"
#include "ui/SettingsNotices.h"
#include "ui/UiSymbols.h"
#include "ui/WorkReadyStats.h"

#include <QFile>
#include <tuple>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(UiSymbolsTest, EverySymbolInTheTableAndTheFallbackShipsAnIcon)
{
    for (const auto& symbol : UiSymbols::knownSymbols()) {
        EXPECT_TRUE(QFile::exists(UiSymbols::iconPath(symbol))) << symbol.toStdString();
        EXPECT_NE(UiSymbols::iconPath(symbol), UiSymbols::iconPath(u"no.such.symbol"_s)) << symbol.toStdString();
    }
    EXPECT_TRUE(QFile::exists(UiSymbols::iconPath(u"no.such.symbol"_s)));
    EXPECT_TRUE(QFile::exists(UiSymbols::appIconPath));
}

TEST(UiSymbolsTest, SymbolsThePresentationsUseAreInTheTable)
{
    const QStringList known = UiSymbols::knownSymbols();
    QStringList used;
    for (auto state : {ConnectionState::connected(u"A"_s), ConnectionState::captive(u"A"_s),
                       ConnectionState::failed(u"x"_s), ConnectionState::ready(), ConnectionState::scanning(),
                       ConnectionState::offline()}) {
        WiFiSnapshot snapshot;
        snapshot.connectionState = state;
        const auto card = ConnectedWiFiPresentation::make(snapshot, std::nullopt, LocationAuthorizationStatus::allowed);
        used << card.systemImage << card.headerSystemImage;
    }
    for (auto portal : {PortalState::detected(QUrl(u"http://p.test/"_s)), PortalState::suspected(std::nullopt),
                        PortalState::unknown(), PortalState::online(), PortalState::unavailable()})
        used << DiagnosticStatus::captivePortal(portal, true, QLocale(QLocale::English)).systemImage;
    for (auto level : {WorkReadinessLevel::good, WorkReadinessLevel::okay, WorkReadinessLevel::poor,
                       WorkReadinessLevel::blocked, WorkReadinessLevel::checking})
        used << WorkReadyStats::levelSymbol(level);
    for (bool gate : {true, false}) {
        const auto row = OnboardingPresentation::make(LocationAuthorizationStatus::denied, gate);
        used << row.rowSystemImage << row.buttonSystemImage;
    }
    // One case of each settings notice, in the order the notices win.
    using L = LocationAuthorizationStatus;
    using Login = LaunchAtLoginStatus;
    using Kind = ConnectionState::Kind;
    const std::tuple<L, Login, bool, Kind> notices[] = {
        {L::denied, Login::enabled, false, Kind::ready},          {L::allowed, Login::requiresApproval, false, Kind::ready},
        {L::allowed, Login::enabled, true, Kind::ready},          {L::allowed, Login::enabled, false, Kind::scanning},
        {L::allowed, Login::enabled, false, Kind::ready}};
    for (const auto& [location, login, connecting, kind] : notices)
        used << SettingsNotices::settings(location, login, connecting, kind, u"x"_s, QLocale(QLocale::English))->systemImage;
    used << DiagnosticStatus::portalHelper(QLocale(QLocale::English)).systemImage;

    for (const auto& symbol : used)
        EXPECT_TRUE(known.contains(symbol)) << symbol.toStdString();
}
