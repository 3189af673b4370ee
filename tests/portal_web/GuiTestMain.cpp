// Entry point of the tests that need widgets and the web engine: a QApplication on the platform the
// test script chose (offscreen or the virtual display), otherwise set up like every test program.
#include "portal/web/WebEnginePortalBrowser.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QLocale>
#include <QStandardPaths>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    qputenv("LC_ALL", "C.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("BrewBeaconTests"));
    QCoreApplication::setApplicationName(QStringLiteral("BrewBeaconTests"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Start the web engine before any test spawns a helper process: once QProcess has run a child,
    // a web engine started afterwards with a fresh profile never sends its first request (Qt 6.4).
    {
        QWebEnginePage warmUp(WebEnginePortalBrowser::sharedProfile());
        QEventLoop loop;
        QObject::connect(&warmUp, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        warmUp.setHtml(QStringLiteral("<p>ready</p>"));
        loop.exec();
    }
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
