// BrewBeacon: the tray application.
#include "app/AppDelegate.h"
#include "app/ApplicationWiring.h"
#include "app/TerminationSignals.h"
#include "portal/PortalAssistantWindowController.h"
#include "services/SoftwareUpdateService.h"
#include "state/AppState.h"

#include <QApplication>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// --self-test: start against the configured system bus, wait for the first window, and quit. The
// process exits 0 only when a window came up.
void runSelfTest(AppDelegate& delegate)
{
    auto* poll = new QTimer(&delegate);
    QObject::connect(poll, &QTimer::timeout, &delegate, [poll] {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->isVisible() && window->title().startsWith(u"BrewBeacon"_s)) {
                std::fprintf(stdout, "self-test: %s shown\n", qPrintable(window->title()));
                poll->stop();
                QCoreApplication::exit(0);
            }
        }
    });
    poll->start(100);
    QTimer::singleShot(20000, &delegate, [] {
        std::fprintf(stderr, "self-test: no window within 20 s\n");
        QCoreApplication::exit(1);
    });
}

} // namespace

int main(int argc, char* argv[])
{
    // The web engine of the portal assistant and Qt Quick share one GL context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(u"BrewBeacon"_s);
    QCoreApplication::setApplicationName(u"BrewBeacon"_s);
    QCoreApplication::setOrganizationDomain(u"tolvek.com"_s);
    QGuiApplication::setDesktopFileName(u"com.tolvek.brewbeacon"_s);
    // Closing the windows leaves the tray item running.
    QApplication::setQuitOnLastWindowClosed(false);
    QQuickStyle::setStyle(u"Fusion"_s);
    const bool selfTest = QCoreApplication::arguments().contains(u"--self-test"_s);

    AppDelegate* delegatePointer = nullptr;
    AppDelegate::Parts parts;
    parts.appState = &AppState::shared();
    parts.softwareUpdater = ApplicationWiring::makeSoftwareUpdateService([&delegatePointer] {
        if (delegatePointer && delegatePointer->applicationShouldTerminate())
            QCoreApplication::quit();
    });
    parts.portalAssistant = ApplicationWiring::makePortalAssistant();
    parts.showsStatusItem = !selfTest;
    AppDelegate delegate(std::move(parts));
    delegatePointer = &delegate;
    TerminationSignals terminationSignals([&delegate] { delegate.quitFromMenu(); });
    terminationSignals.install();
    delegate.applicationDidFinishLaunching();
    if (selfTest)
        runSelfTest(delegate);
    return QApplication::exec();
}
