#pragma once

#include "connectivity/CaptivePortalHandling.h"
#include "portal/PortalAssistantWindowing.h"
#include "portal/PortalBrowsing.h"
#include "testkit/AppStateFakes.h"
#include "state/PortalAssistantHost.h"
#include "wifi/PortalState.h"
#include "wifi/RetrySleeping.h"

#include <QList>
#include <coroutine>
#include <memory>

// Waits that end only when the test moves time forward; resumes sleepers in deadline order.
class ManualSleeper final : public RetrySleeping {
public:
    QCoro::Task<> sleep(quint64 nanoseconds) override
    {
        co_await Wait{this, m_nowMs + qint64(nanoseconds / 1'000'000)};
    }

    void advance(double seconds)
    {
        const qint64 target = m_nowMs + qint64(seconds * 1000 + 0.5);
        while (true) {
            auto next = std::min_element(m_waiters.begin(), m_waiters.end(),
                                         [](const auto& a, const auto& b) { return a.first < b.first; });
            if (next == m_waiters.end() || next->first > target)
                break;
            const auto [deadline, handle] = *next;
            m_waiters.erase(next);
            m_nowMs = deadline;
            handle.resume();
        }
        m_nowMs = target;
    }
    double now() const { return m_nowMs / 1000.0; }

private:
    struct Wait {
        ManualSleeper* sleeper;
        qint64 deadline;
        bool await_ready() const { return sleeper->m_nowMs >= deadline; }
        void await_suspend(std::coroutine_handle<> handle) { sleeper->m_waiters.append({deadline, handle}); }
        void await_resume() const {}
    };

    qint64 m_nowMs = 0;
    QList<std::pair<qint64, std::coroutine_handle<>>> m_waiters;
};

// A browser whose loads and script runs the test completes by hand.
class FakeBrowser final : public PortalBrowsing {
public:
    struct Run {
        QString script;
        std::function<void(std::optional<QString>)> completion;
    };

    void load(const QUrl& url) override
    {
        loads.append(url);
        loading = true;
    }
    bool isLoading() const override { return loading; }
    QUrl url() const override { return currentURL; }
    void evaluate(const QString& script, std::function<void(std::optional<QString>)> completion) override
    {
        runs.append({script, std::move(completion)});
        if (autoAnswer)
            runs.last().completion(*autoAnswer);
    }

    void finishLoad(const QUrl& url)
    {
        currentURL = url;
        loading = false;
        Q_EMIT loadFinished();
    }
    // Answers the latest script run.
    void answer(std::optional<QString> result) { runs.last().completion(std::move(result)); }

    // Emits the navigation the engine would report before its request goes out.
    void navigate(const QUrl& from, const QUrl& to, PortalNavigationKind kind) { Q_EMIT navigationRequested(from, to, kind); }

    QList<QUrl> loads;
    QList<Run> runs;
    // When set, every run is answered with it at once.
    std::optional<std::optional<QString>> autoAnswer;
    QUrl currentURL;
    bool loading = false;
};

class FakeHost final : public PortalAssistantHost {
public:
    PortalAutofillProfile portalAutofillProfile() const override { return profile; }
    void savePortalAutofillProfile(const PortalAutofillProfile& saved) override { savedProfiles.append(saved); }
    AppAnalyticsReporting& analytics() override { return recorder; }
    void checkAndConnectPublicWiFi() override { ++connectivityChecks; }

    PortalAutofillProfile profile;
    QList<PortalAutofillProfile> savedProfiles;
    RecordingAnalytics recorder;
    int connectivityChecks = 0;
};

// Answers each detection with the next scripted state (the last one repeats).
class ScriptedDetector final : public CaptivePortalHandling {
public:
    explicit ScriptedDetector(std::shared_ptr<QList<PortalState>> answers, std::shared_ptr<int> calls)
        : m_answers(std::move(answers)), m_calls(std::move(calls)) {}
    QCoro::Task<PortalState> detectPortal() override
    {
        const int index = (*m_calls)++;
        co_return m_answers->isEmpty() ? PortalState::unavailable() : m_answers->at(std::min<int>(index, m_answers->size() - 1));
    }

private:
    std::shared_ptr<QList<PortalState>> m_answers;
    std::shared_ptr<int> m_calls;
};

class FakeWindow final : public PortalAssistantWindowing {
public:
    void setContent(PortalAssistantViewInputs newInputs) override
    {
        inputs = std::move(newInputs);
        ++contentBuilds;
    }
    void orderOut() override { onScreen = false; }
    void bringToFront() override
    {
        onScreen = true;
        ++broughtToFront;
    }
    void close() override
    {
        ++closes;
        Q_EMIT willClose();
    }
    void showHandoffReason(const QString& reason) override { handoffReasons.append(reason); }

    QStringList handoffReasons;
    PortalAssistantViewInputs inputs;
    int contentBuilds = 0;
    int broughtToFront = 0;
    int closes = 0;
    bool onScreen = false;
};
