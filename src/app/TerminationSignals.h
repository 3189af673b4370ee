#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread, so the end of a session, `kill` or
// Ctrl-C close the app the way its Quit does (windows closed, state flushed, a clean exit) instead of
// killing it mid-work. One instance per process.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the signal pipe could not be made; the default handling then stays.
    bool install();

private:
    void drain();

    std::function<void()> m_onTerminate;
    QSocketNotifier* m_notifier = nullptr;
};
