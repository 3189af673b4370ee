// Entry point of the window tests: a QApplication on the offscreen platform with the software scene
// graph, so windows render and can be grabbed without a GPU or a display. The screen is a laptop's,
// large enough that each window opens at its real size.
#include <QApplication>
#include <QLocale>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QFile>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    qputenv("LC_ALL", "C.UTF-8");
    QTemporaryDir screenConfig;
    {
        QFile config(screenConfig.filePath(QStringLiteral("screens.json")));
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1600, "height": 1100,)"
                         R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screenConfig.filePath(QStringLiteral("screens.json")).toLocal8Bit());
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
