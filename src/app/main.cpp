// BrewBeacon: the tray application.
#include "app/AppDelegate.h"
#include "app/ApplicationWiring.h"
#include "app/SelfTest.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "portal/PortalAssistantWindowController.h"
#include "services/SoftwareUpdateService.h"
#include "state/AppState.h"
#include "support/ApplicationIdentity.h"

#include <QApplication>
#include <QDBusConnection>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

bool hasArgument(int argc, char* argv[], const char* wanted)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // The self-test keeps to a private settings folder and reaches no real service; decided before any
    // setting is read.
    const bool selfTest = hasArgument(argc, argv, "--self-test");
    std::unique_ptr<QTemporaryDir> selfTestFolder;
    if (selfTest)
        selfTestFolder = SelfTest::isolate();

    QApplication app(argc, argv);
    ApplicationIdentity::apply();
    QGuiApplication::setDesktopFileName(ApplicationIdentity::desktopFileName());
    // Closing the windows leaves the tray item running.
    QApplication::setQuitOnLastWindowClosed(false);
    QQuickStyle::setStyle(u"Fusion"_s);
    // The windows are a few panels of text and shapes: the software scene graph draws them without a
    // GL context, whose driver would otherwise stay loaded, and keep growing, in a tray process long
    // after the window closed. A backend chosen in the environment still wins.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") && qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    // A second start hands over to the running app and ends. The self-test runs beside it.
    SingleInstance instance(QDBusConnection::sessionBus());
    if (!selfTest && instance.claim() == SingleInstance::Role::secondary) {
        if (instance.activateRunning())
            return 0;
        // The running one may just have quit: take over when the name is free now.
        if (instance.claim() != SingleInstance::Role::primary) {
            std::fprintf(stderr, "brewbeacon: already running, but it does not answer\n");
            return 1;
        }
    }

    AppDelegate* delegatePointer = nullptr;
    AppDelegate::Parts parts;
    parts.appState = &AppState::shared();
    parts.softwareUpdater = ApplicationWiring::makeSoftwareUpdateService([&delegatePointer] {
        if (delegatePointer && delegatePointer->applicationShouldTerminate())
            QCoreApplication::quit();
    });
    parts.portalAssistant = ApplicationWiring::makePortalAssistant();
    PortalAssistantWindowController* portalAssistant = parts.portalAssistant.get();
    AppDelegate delegate(std::move(parts));
    delegatePointer = &delegate;
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     &AppDelegate::applicationDidRequestActivation);
    TerminationSignals terminationSignals([&delegate] { delegate.quitFromMenu(); });
    terminationSignals.install();

    std::unique_ptr<SelfTest> test;
    if (selfTest)
        test = std::make_unique<SelfTest>(delegate, portalAssistant);
    delegate.applicationDidFinishLaunching();
    if (test)
        test->start();
    return QApplication::exec();
}
