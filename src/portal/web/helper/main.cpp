// brewbeacon-portal: the portal assistant's window and web engine in a process of their own, driven by
// the tray over the socket it was started with. Not meant to be run by hand.
#include "portal/web/helper/PortalHelperSession.h"
#include "support/ApplicationIdentity.h"

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    int descriptor = -1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--socket-fd") == 0)
            descriptor = QByteArray(argv[i + 1]).toInt();
    }
    if (descriptor < 0)
        descriptor = 3;
    // The web engine's own processes must not hold the tray's socket open after this one is gone.
    ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The tray's names, so the portal profile's cookies live where they always did.
    ApplicationIdentity::apply();
    QGuiApplication::setDesktopFileName(ApplicationIdentity::desktopFileName());
    QApplication::setQuitOnLastWindowClosed(false);

    PortalHelperSession session;
    if (!session.start(descriptor)) {
        std::fprintf(stderr, "brewbeacon-portal: no tray connection on descriptor %d\n", descriptor);
        return 2;
    }
    return QApplication::exec();
}
