// Entry point of the window tests: a QApplication on the offscreen platform with the software scene
// graph, so windows render and can be grabbed without a GPU or a display.
#include <QApplication>
#include <QLocale>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QStandardPaths>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("BrewBeaconTests"));
    QCoreApplication::setApplicationName(QStringLiteral("BrewBeaconTests"));
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
