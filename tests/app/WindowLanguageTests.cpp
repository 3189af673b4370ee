// What a user reads in every window, in both languages: nothing left in English in Vietnamese, no text
// that names a platform the user does not have, and no spinner while nothing runs.
#include "WindowTestSupport.h"
#include "services/FeedbackService.h"
#include "services/ProductServiceURL.h"
#include "state/AppLocalizedText.h"
#include "testkit/Await.h"
#include "testkit/Candidates.h"
#include "ui/windows/FeedbackViewModel.h"
#include "ui/windows/FeedbackWindowController.h"
#include "ui/windows/MainWindowController.h"
#include "ui/windows/OnboardingWindowController.h"
#include "ui/StatusViewModel.h"
#include "ui/UiText.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Texts that read the same in both languages: names, the seeded networks, loan words and addresses.
const QStringList sameInBothLanguages = {u"BrewBeacon"_s, u"PayPal.Me"_s, u"Tiếng Việt"_s, u"Email"_s,
                                         u"name@example.com"_s, u"Cafe Corner"_s, u"Bakery Guest"_s};

bool isLanguageNeutral(const QString& text)
{
    static const QRegularExpression version(u"^v[0-9A-Za-z.\\-]+$"_s);
    return sameInBothLanguages.contains(text) || version.match(text).hasMatch() || text.contains(u"://"_s);
}

// Every text a visible item shows, markup removed.
void collectTexts(QQuickItem* item, QStringList& texts)
{
    if (!item || !item->isVisible())
        return;
    static const QRegularExpression markup(u"<[^>]*>"_s);
    // What the user typed into a field is theirs, not the window's.
    const QByteArray type = item->metaObject()->className();
    const bool isInput = type.contains("TextArea") || type.contains("TextField");
    for (const char* name : {"text", "title", "detail", "subtitle", "placeholderText", "displayText"}) {
        if (isInput && qstrcmp(name, "text") == 0)
            continue;
        const QVariant value = item->property(name);
        if (value.metaType() != QMetaType::fromType<QString>())
            continue;
        const QString text = value.toString().remove(markup).trimmed();
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); }))
            texts.append(text);
    }
    for (QQuickItem* child : item->childItems())
        collectTexts(child, texts);
}

QStringList textsOf(QQuickWindow* window)
{
    QCoreApplication::processEvents();
    QStringList texts{window->title()};
    collectTexts(window->contentItem(), texts);
    return texts;
}

// Spinners that are drawn and animating.
int runningSpinners(QQuickItem* item)
{
    if (!item || !item->isVisible())
        return 0;
    const QByteArray type = item->metaObject()->className();
    int count = (type.contains("Spinner") || type.contains("BusyIndicator")) && item->property("running").toBool();
    for (QQuickItem* child : item->childItems())
        count += runningSpinners(child);
    return count;
}

QStringList platformForeign(const QStringList& texts)
{
    static const QRegularExpression foreign(
        u"\\b(macOS|Mac|menu bar|System Settings|Location Services|Location Settings|Dock|Finder)\\b"_s);
    QStringList found;
    for (const QString& text : texts) {
        if (foreign.match(text).hasMatch())
            found.append(text);
    }
    return found;
}

struct LanguageRig : WindowRig {
    std::unique_ptr<MainWindowController> main;
    std::unique_ptr<OnboardingWindowController> onboarding;
    std::unique_ptr<FeedbackWindowController> feedback;

    void open()
    {
        build();
        main = std::make_unique<MainWindowController>(*host, [](FeedbackKind, std::optional<QString>) {});
        main->configure(*state, *updates, {});
        onboarding = std::make_unique<OnboardingWindowController>(*host, *state);
        feedback = std::make_unique<FeedbackWindowController>(
            *host, *state, FeedbackService(ProductServiceURL::endpoint(QUrl(u"http://127.0.0.1:9/"_s), FeedbackService::endpointPath())));
    }

    // Every tab and section of the main window, the setup window and the feedback form; a screenshot
    // of each at the size it opens with, named with the language's suffix.
    QStringList readEverything(const QString& suffix)
    {
        QStringList texts;
        const QStringList tabs = {u"status"_s, u"settings"_s, u"form-values"_s, u"about"_s};
        for (int tab = 0; tab < tabs.size(); ++tab) {
            main->show(static_cast<MainWindowTab>(tab));
            await(state->runConnectivityCheckToCompletion(false));
            QCoreApplication::processEvents();
            texts += textsOf(main->window());
            screenshot(main->window(), u"main-"_s + tabs[tab] + suffix);
            if (tab == 0) {
                QMetaObject::invokeMethod(findItem(main->window(), u"section1"_s), "clicked");
                texts += textsOf(main->window());
                screenshot(main->window(), u"main-status-work-ready"_s + suffix);
                QMetaObject::invokeMethod(findItem(main->window(), u"section0"_s), "clicked");
            }
        }
        onboarding->show([] {});
        texts += textsOf(onboarding->window());
        screenshot(onboarding->window(), u"onboarding"_s + suffix);
        onboarding->close();
        feedback->show(FeedbackKind::problem, uiText(u"No open cafe Wi-Fi found"_s, language->locale()));
        texts += textsOf(feedback->window());
        screenshot(feedback->window(), u"feedback"_s + suffix);
        // Over the word limit: the reason Send is off is a text of its own.
        feedback->viewModel().setMessage(u"word "_s.repeated(2001));
        texts += textsOf(feedback->window());
        feedback->close();
        return texts;
    }
};

} // namespace

TEST(WindowLanguage, EveryVisibleTextHasVietnameseAndNoneNamesAnotherPlatform)
{
    for (const auto location : {LocationAuthorizationStatus::allowed, LocationAuthorizationStatus::denied}) {
        SCOPED_TRACE(location == LocationAuthorizationStatus::allowed ? "permission allowed" : "permission denied");
        LanguageRig rig;
        rig.rig.location = location;
        rig.rig.path->status = NetworkPathStatus::unsatisfied();
        WiFiSnapshot snapshot;
        snapshot.connectionState = ConnectionState::ready();
        if (location == LocationAuthorizationStatus::allowed) {
            snapshot.candidates = {network(u"Cafe Corner"_s, 81), network(u"Bakery Guest"_s, 58),
                                   network(u"Home"_s, 95, NetworkSecurity::personal)};
            snapshot.bestNetwork = snapshot.candidates.first();
        }
        rig.rig.scanner->snapshot = snapshot;
        rig.open();
        const QString suffix = location == LocationAuthorizationStatus::allowed ? QString() : u"-denied"_s;

        rig.language->choose(1); // English
        const QStringList english = rig.readEverything(suffix);
        (void)AppLocalizedText::takeUntranslatedVietnamese();
        rig.language->choose(2); // Tiếng Việt
        const QStringList vietnamese = rig.readEverything(suffix + u"-vi"_s);

        EXPECT_EQ(AppLocalizedText::takeUntranslatedVietnamese().join(u" | "_s).toStdString(), "")
            << "texts looked up without Vietnamese";
        QStringList stillEnglish;
        for (const QString& text : vietnamese) {
            if (english.contains(text) && !isLanguageNeutral(text) && !stillEnglish.contains(text))
                stillEnglish.append(text);
        }
        EXPECT_EQ(stillEnglish.join(u" | "_s).toStdString(), "") << "shown in English while the windows speak Vietnamese";
        EXPECT_EQ(platformForeign(english + vietnamese).join(u" | "_s).toStdString(), "");
        EXPECT_GT(vietnamese.size(), 60) << "the walk reached the windows' texts";
        rig.language->choose(0);
    }
}

TEST(WindowLanguage, AnIdleWindowShowsNoSpinnerAndDoesNotRedraw)
{
    // Nothing joined and no open network in reach: no probe is coming.
    LanguageRig rig;
    rig.rig.path->status = NetworkPathStatus::unsatisfied();
    WiFiSnapshot snapshot;
    snapshot.connectionState = ConnectionState::offline();
    snapshot.candidates = {network(u"Home"_s, 95, NetworkSecurity::personal)};
    rig.rig.scanner->snapshot = snapshot;
    rig.open();
    rig.main->show(MainWindowTab::status);
    await(rig.state->runConnectivityCheckToCompletion(false));
    QCoreApplication::processEvents();
    QQuickWindow* window = rig.main->window();
    EXPECT_EQ(runningSpinners(window->contentItem()), 0) << "a spinner with nothing in progress never stops";
    EXPECT_EQ(textOf(window, u"placeholderTitle"_s), u"No open cafe Wi-Fi found"_s);

    int redraws = 0;
    QObject::connect(window, &QQuickWindow::beforeRendering, window, [&] { ++redraws; });
    // Whatever the first check left to draw is drawn first.
    spinUntil([&] { return false; }, std::chrono::milliseconds(300));
    redraws = 0;
    int notifications = 0;
    QObject::connect(rig.main->status(), &StatusViewModel::changed, [&] { ++notifications; });
    for (int check = 0; check < 3; ++check)
        await(rig.state->runConnectivityCheckToCompletion(false));
    QCoreApplication::processEvents();
    EXPECT_EQ(notifications, 0) << "checks that find nothing new leave the window alone";
    EXPECT_EQ(redraws, 0);

    // A join is work in progress: its row spins, and the spinner stops with the join.
    rig.rig.router->gate.closed = true;
    rig.state->connectTo(network(u"Cafe Corner"_s, 81));
    QCoreApplication::processEvents();
    EXPECT_GT(runningSpinners(window->contentItem()), 0);
    rig.main->selectTab(int(MainWindowTab::settings));
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"noticeTitle"_s), u"Joining cafe Wi-Fi"_s);
    EXPECT_GT(runningSpinners(findItem(window, u"settingsNotice"_s)), 0) << "the settings notice spins while joining";
    screenshot(window, u"main-settings-joining"_s);
    rig.rig.router->gate.open();
    ASSERT_TRUE(spinUntil([&] { return !rig.state->isConnecting(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(runningSpinners(window->contentItem()), 0);
}
