// brewbeacon-portal-check URL-or-file [--submit]
// Loads one portal page in the assistant's hidden view, runs the page script with the user's details
// (gaps filled with generated ones) and prints the script's JSON result, the outcome and the category.
// A dry run unless --submit: nothing is pressed. Exit status: 0 checked, 1 the page did not load or the
// script gave no result, 2 usage.
#include "PortalCheck.h"

#include "portal/PortalAssistantTexts.h"
#include "portal/PortalAutofillProfileStore.h"
#include "portal/web/WebEnginePortalBrowser.h"
#include "services/PortalAnalytics.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QWebEnginePage>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void printLine(const QString& text, FILE* stream = stdout)
{
    std::fputs(qPrintable(text + u'\n'), stream);
}

// The address as typed, or the file it names.
QUrl pageAddress(const QString& argument)
{
    const QFileInfo file(argument);
    if (file.exists())
        return QUrl::fromLocalFile(file.absoluteFilePath());
    const QUrl url = QUrl::fromUserInput(argument);
    return url.isValid() && (url.scheme() == "http"_L1 || url.scheme() == "https"_L1 || url.scheme() == "file"_L1)
               ? url
               : QUrl();
}

// The stored details, if the keyring answers soon; a missing keyring only means generated details.
PortalAutofillProfile storedProfile()
{
    std::optional<PortalAutofillProfile> loaded;
    PortalAutofillProfileStore store;
    auto task = store.load();
    std::move(task).then([&loaded](PortalAutofillProfile profile) { loaded = std::move(profile); });
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (loaded)
            loop.quit();
    });
    poll.start(20);
    if (!loaded)
        loop.exec();
    return loaded.value_or(PortalAutofillProfile::empty());
}

// The web engine's very first request in a process is sometimes never sent: start it on a blank page.
void warmUp()
{
    QWebEnginePage page(WebEnginePortalBrowser::sharedProfile());
    QEventLoop loop;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    page.setHtml(u"<p>ready</p>"_s);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine refuses to start its sandbox for root (containers, CI); the page is still only
    // read, never trusted.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setOrganizationName(u"BrewBeacon"_s);
    QCoreApplication::setApplicationName(u"BrewBeacon"_s);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    QStringList arguments = app.arguments().mid(1);
    const bool submit = arguments.removeAll(u"--submit"_s) > 0;
    if (arguments.size() != 1 || arguments.first().startsWith(u"-"_s)) {
        printLine(u"usage: brewbeacon-portal-check URL-or-file [--submit]"_s, stderr);
        return 2;
    }
    const QUrl address = pageAddress(arguments.first());
    if (address.isEmpty()) {
        printLine(u"brewbeacon-portal-check: not a page address or file: %1"_s.arg(arguments.first()), stderr);
        return 2;
    }

    const PortalAutofillProfile profile = storedProfile().generatedIfNeeded();
    warmUp();
    PortalCheck check;
    if (!check.load(address)) {
        printLine(u"brewbeacon-portal-check: the page did not load: %1"_s.arg(address.toString()), stderr);
        return 1;
    }
    const std::optional<QString> text = check.runUntilSettled(profile, submit);
    const std::optional<PortalAutofillEvent> event = text ? PortalAutofillEvent::fromJSON(text->toUtf8()) : std::nullopt;
    if (!event) {
        printLine(u"brewbeacon-portal-check: the page script gave no usable result (unsupported portal)"_s, stderr);
        return 1;
    }
    printLine(*text);
    printLine(u"outcome: %1"_s.arg(event->outcomeName()));
    printLine(u"category: %1"_s.arg(PortalAssistantTexts::reasonCategory(event->reason.value_or(QString()))));
    printLine(u"analytics category: %1"_s.arg(PortalAnalytics::blockerCategory(event->reason)));
    if (event->reason)
        printLine(u"sentence: %1"_s.arg(PortalAssistantTexts::reasonSentence(*event->reason, QLocale(QLocale::English))));
    printLine(u"mode: %1"_s.arg(submit ? u"submit"_s : u"dry run"_s));
    if (check.unseenDialogs() > 0)
        printLine(u"dialogs answered unseen: %1"_s.arg(check.unseenDialogs()));
    return 0;
}
