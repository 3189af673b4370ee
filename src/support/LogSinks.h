#pragma once

#include "support/LogLevel.h"

#include <QList>
#include <QStringList>
#include <mutex>

// Where log lines go: the system journal when it runs, standard error otherwise, plus any captures.
class LogSinks {
public:
    // Sends a record to the default sink (when toDefault) and to every active capture.
    static void dispatch(const LogRecord& record, bool toDefault);
    static bool hasCaptures();

private:
    friend class LogCapture;
    static void addCapture(class LogCapture* capture);
    static void removeCapture(class LogCapture* capture);
};

// Collects every line logged while it exists (any thread). Meant for tests and diagnostics.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QList<LogRecord> records() const;
    // Messages of one category, in the order they were logged.
    QStringList messages(const QString& category) const;
    bool contains(const QString& category, const QString& message) const;
    void clear();

private:
    friend class LogSinks;
    void append(const LogRecord& record);

    mutable std::mutex m_mutex;
    QList<LogRecord> m_records;
};
