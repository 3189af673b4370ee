#include "app/SelfTest.h"

#include "app/AppDelegate.h"
#include "app/MenuBarController.h"
#include "app/UpdateDialogs.h"
#include "portal/PortalAssistantTexts.h"
#include "portal/PortalAssistantWindowController.h"
#include "services/update/AppcastItem.h"
#include "services/update/UpdateError.h"
#include "state/AppLanguage.h"
#include "state/AppState.h"
#include "support/LoadedLibraries.h"
#include "support/LogSinks.h"
#include "ui/UiLanguage.h"
#include "ui/windows/FeedbackWindowController.h"
#include "ui/windows/MainWindowController.h"
#include "ui/windows/OnboardingWindowController.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QMessageBox>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

std::mutex& problemsMutex()
{
    static std::mutex mutex;
    return mutex;
}

QStringList& recordedProblems()
{
    static QStringList problems;
    return problems;
}

void record(const QString& problem)
{
    std::lock_guard lock(problemsMutex());
    recordedProblems().append(problem);
}

QtMessageHandler previousHandler = nullptr;

// Warnings of the QML engine, of Qt Quick and its controls and dialogs, and anything naming a QML file:
// each one is a window that does not work as laid out (a missing module is one of them).
bool isQmlMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return false;
    if (type == QtCriticalMsg || type == QtFatalMsg)
        return true;
    const QByteArray category(context.category ? context.category : "");
    if (category == "qml" || category == "js" || category.startsWith("qt.qml") ||
        category.startsWith("qt.quick"))
        return true;
    if (context.file && QByteArray(context.file).endsWith(".qml"))
        return true;
    return message.contains(u".qml"_s) || message.contains(u"qrc:"_s) || message.contains(u"QML"_s) ||
           message.contains(u"module \""_s);
}

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (isQmlMessage(type, context, message))
        record(u"warning: "_s + message);
    if (previousHandler)
        previousHandler(type, context, message);
}

// Lets the event loop run for a while: windows lay out, bindings settle and late warnings arrive.
void settle(int milliseconds = 250)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until the condition holds or the time is up.
bool settleUntil(const std::function<bool()>& condition, int milliseconds = 10000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > milliseconds)
            return false;
        settle(50);
    }
    return true;
}

QObject* findFileChooser(QQuickWindow* window)
{
    const QList<QObject*> children = window->findChildren<QObject*>();
    for (QObject* child : children) {
        if (child->inherits("QQuickFileDialog"))
            return child;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<QTemporaryDir> SelfTest::isolate()
{
    auto folder = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder->path());
    qputenv("BREWBEACON_DISABLE_ANALYTICS", "1");
    // Nothing listens on the discard port of loopback: no request leaves the machine.
    if (qEnvironmentVariableIsEmpty("BREWBEACON_SERVICE_URL"))
        qputenv("BREWBEACON_SERVICE_URL", "http://127.0.0.1:9");
    if (qEnvironmentVariableIsEmpty("BREWBEACON_DETECTION_URL"))
        qputenv("BREWBEACON_DETECTION_URL", "http://127.0.0.1:9/hotspot-detect.html");
    // Without NetworkManager the app cannot scan or join, and opens the setup window first.
    if (qEnvironmentVariableIsEmpty("BREWBEACON_SYSTEM_BUS_ADDRESS"))
        qputenv("BREWBEACON_SYSTEM_BUS_ADDRESS", (u"unix:path="_s + folder->filePath(u"no-bus"_s)).toUtf8());
    return folder;
}

SelfTest::SelfTest(AppDelegate& delegate, PortalAssistantWindowController* portalAssistant, QObject* parent)
    : QObject(parent), m_delegate(delegate), m_portalAssistant(portalAssistant),
      m_log(std::make_unique<LogCapture>())
{
    previousHandler = qInstallMessageHandler(watchMessages);
}

SelfTest::~SelfTest()
{
    qInstallMessageHandler(previousHandler);
}

void SelfTest::fail(const QString& problem)
{
    record(problem);
}

void SelfTest::start()
{
    QTimer::singleShot(0, this, [this] {
        run();
        collectWindowErrors();
        if (const QString librariesFile = qEnvironmentVariable("BREWBEACON_SELF_TEST_LIBRARIES");
            !librariesFile.isEmpty())
            appendLoadedLibraries(librariesFile);
        const QStringList found = [] {
            std::lock_guard lock(problemsMutex());
            return recordedProblems();
        }();
        for (const QString& problem : found)
            std::fprintf(stderr, "self-test: %s\n", qPrintable(problem));
        std::fprintf(found.isEmpty() ? stdout : stderr, "self-test: %s\n",
                     found.isEmpty() ? "every window and dialog opened cleanly" : "FAILED");
        std::fflush(stdout);
        QCoreApplication::exit(found.isEmpty() ? 0 : 1);
    });
}

void SelfTest::run()
{
    // The launch itself opens the first window (setup, as no NetworkManager answers).
    const bool firstWindow = settleUntil([] {
        const QList<QWindow*> windows = QGuiApplication::topLevelWindows();
        return std::any_of(windows.cbegin(), windows.cend(), [](QWindow* window) {
            return window->isVisible() && window->title().startsWith(u"BrewBeacon"_s);
        });
    });
    if (!firstWindow)
        fail(u"no window came up at launch"_s);
    const std::pair<AppLanguage, QString> languages[] = {{AppLanguage::english, u"English"_s},
                                                         {AppLanguage::vietnamese, u"Vietnamese"_s}};
    for (const auto& [language, label] : languages) {
        m_delegate.language().setLanguage(language);
        checkLanguage(label);
    }
}

void SelfTest::checkLanguage(const QString& label)
{
    checkMainWindow(label);
    checkOnboardingWindow(label);
    checkFeedbackWindow(label);
    checkPortalAssistant(label);
    checkUpdateDialogs(label);
    checkTrayMenu(label);
    std::fprintf(stdout, "self-test: %s windows checked\n", qPrintable(label));
}

void SelfTest::checkMainWindow(const QString& label)
{
    MainWindowController& main = m_delegate.mainWindow();
    for (MainWindowTab tab :
         {MainWindowTab::status, MainWindowTab::settings, MainWindowTab::formValues, MainWindowTab::about}) {
        main.show(tab);
        settle();
        if (!main.window() || !main.window()->isVisible() || main.selectedTab() != tab)
            fail(u"%1: the main window did not show tab %2"_s.arg(label).arg(int(tab)));
    }
    main.close();
}

void SelfTest::checkOnboardingWindow(const QString& label)
{
    OnboardingWindowController& onboarding = m_delegate.onboardingWindow();
    onboarding.show([] {});
    settle();
    if (!onboarding.window() || !onboarding.window()->isVisible())
        fail(label + u": the setup window did not open"_s);
    onboarding.close();
}

void SelfTest::checkFeedbackWindow(const QString& label)
{
    FeedbackWindowController& feedback = m_delegate.feedbackWindow();
    feedback.show(FeedbackKind::problem, u"Self-test"_s);
    settle();
    QQuickWindow* window = feedback.window();
    if (!window || !window->isVisible()) {
        fail(label + u": the feedback window did not open"_s);
        return;
    }
    QObject* chooser = findFileChooser(window);
    if (!chooser) {
        fail(label + u": the feedback window has no file chooser"_s);
    } else {
        // The chooser "Add Images…" opens; without a native one Qt draws its own from QML modules.
        QMetaObject::invokeMethod(chooser, "open");
        if (!settleUntil([chooser] { return chooser->property("visible").toBool(); }, 5000))
            fail(label + u": the feedback window's file chooser did not open"_s);
        settle();
        QMetaObject::invokeMethod(chooser, "reject");
        settle(100);
    }
    feedback.close();
}

void SelfTest::checkPortalAssistant(const QString& label)
{
    if (!m_portalAssistant)
        return;
    m_portalAssistant->show(QUrl(u"about:blank"_s), &m_delegate.appState());
    // The window's title is in the app's language; the window is the portal helper's, which reports it.
    const QString title = PortalAssistantTexts::text(u"BrewBeacon Portal Assistant"_s,
                                                     AppLanguages::storedLocale(QSettings()));
    if (!settleUntil([this, &title] { return m_portalAssistant->windowTitleOnScreen() == title; }, 15000))
        fail(label + u": the portal assistant window did not open"_s);
    settle();
    m_portalAssistant->closeWindow();
    settle(100);
}

void SelfTest::checkUpdateDialogs(const QString& label)
{
    UpdateDialogs dialogs;
    const auto expectDialog = [&](const QString& what) {
        settle(100);
        const QList<QWidget*> widgets = QApplication::topLevelWidgets();
        const bool shown = std::any_of(widgets.cbegin(), widgets.cend(), [](QWidget* widget) {
            return widget->isVisible() && qobject_cast<QDialog*>(widget);
        });
        if (!shown)
            fail(u"%1: the update dialog \"%2\" did not open"_s.arg(label, what));
    };
    const auto closeDialogs = [] {
        const QList<QWidget*> widgets = QApplication::topLevelWidgets();
        for (QWidget* widget : widgets) {
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
                dialog->reject();
        }
        settle(50);
    };
    dialogs.showChecking();
    expectDialog(u"checking"_s);
    dialogs.showDownloadProgress(50, 100);
    expectDialog(u"download"_s);
    dialogs.dismiss();
    dialogs.showUpToDate(u"1"_s);
    expectDialog(u"up to date"_s);
    closeDialogs();
    dialogs.showError(UpdateError::downloadFailed(u"self-test"_s));
    expectDialog(u"error"_s);
    closeDialogs();
    AppcastItem item;
    item.displayVersion = u"9.9"_s;
    // The questions end when their box closes (as "Later").
    auto install = dialogs.confirmInstall(item);
    expectDialog(u"install"_s);
    closeDialogs();
    auto relaunch = dialogs.confirmRelaunch(item);
    expectDialog(u"relaunch"_s);
    closeDialogs();
    if (!install.isReady() || !relaunch.isReady())
        fail(label + u": an update question did not end when its box closed"_s);
}

void SelfTest::checkTrayMenu(const QString& label)
{
    MenuBarController* tray = m_delegate.menuBarController();
    if (!tray)
        return;
    QMenu& menu = tray->menu();
    menu.popup(QPoint(0, 0));
    settle(100);
    if (!menu.isVisible() || menu.actions().size() != 3)
        fail(label + u": the tray menu did not open with its two items"_s);
    menu.hide();
}

void SelfTest::collectWindowErrors()
{
    // A window whose QML does not load is logged by the window host rather than by Qt.
    for (const LogRecord& record : m_log->records()) {
        if (record.level == LogLevel::Error && record.category == u"Windows"_s)
            fail(u"error: "_s + record.message);
    }
}
