// Test entry point: a Qt application object for the whole run, pinned time zone and locale, and
// test-mode standard paths so nothing touches the user's real settings.
#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    qputenv("LC_ALL", "C.UTF-8");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("BrewBeaconTests"));
    QCoreApplication::setApplicationName(QStringLiteral("BrewBeaconTests"));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
