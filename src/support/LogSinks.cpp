#include "support/LogSinks.h"

#include <QFileInfo>
#include <atomic>
#include <QStringList>
#include <cstdio>
#include <systemd/sd-journal.h>

namespace {

std::mutex& capturesMutex()
{
    static std::mutex mutex;
    return mutex;
}

QList<LogCapture*>& captures()
{
    static QList<LogCapture*> list;
    return list;
}

std::atomic<int>& captureCount()
{
    static std::atomic<int> count{0};
    return count;
}

bool journalAvailable()
{
    static const bool available = qEnvironmentVariableIntValue("BREWBEACON_LOG_STDERR") != 1
        && QFileInfo::exists(QStringLiteral("/run/systemd/journal/socket"));
    return available;
}

int journalPriority(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug:
        return LOG_DEBUG;
    case LogLevel::Default:
        return LOG_NOTICE;
    case LogLevel::Error:
        return LOG_ERR;
    }
    return LOG_NOTICE;
}

void writeDefault(const LogRecord& record)
{
    const QByteArray message = record.message.toUtf8();
    if (journalAvailable()) {
        const QByteArray subsystem = record.subsystem.toUtf8();
        const QByteArray category = record.category.toUtf8();
        sd_journal_send("MESSAGE=%s", message.constData(), "PRIORITY=%i", journalPriority(record.level),
                        "SYSLOG_IDENTIFIER=brewbeacon", "BREWBEACON_SUBSYSTEM=%s", subsystem.constData(),
                        "BREWBEACON_CATEGORY=%s", category.constData(), nullptr);
        return;
    }
    const QByteArray line = QStringLiteral("[%1:%2] %3: ")
                                .arg(record.subsystem, record.category, logLevelName(record.level))
                                .toUtf8()
        + message + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

} // namespace

void LogSinks::dispatch(const LogRecord& record, bool toDefault)
{
    if (toDefault)
        writeDefault(record);
    if (captureCount().load() == 0)
        return;
    std::lock_guard lock(capturesMutex());
    for (LogCapture* capture : captures())
        capture->append(record);
}

bool LogSinks::hasCaptures() { return captureCount().load() > 0; }

void LogSinks::addCapture(LogCapture* capture)
{
    std::lock_guard lock(capturesMutex());
    captures().append(capture);
    captureCount().store(int(captures().size()));
}

void LogSinks::removeCapture(LogCapture* capture)
{
    std::lock_guard lock(capturesMutex());
    captures().removeAll(capture);
    captureCount().store(int(captures().size()));
}

LogCapture::LogCapture() { LogSinks::addCapture(this); }

LogCapture::~LogCapture() { LogSinks::removeCapture(this); }

QList<LogRecord> LogCapture::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

QStringList LogCapture::messages(const QString& category) const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const auto& record : m_records) {
        if (record.category == category)
            out.append(record.message);
    }
    return out;
}

bool LogCapture::contains(const QString& category, const QString& message) const
{
    return messages(category).contains(message);
}

void LogCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

void LogCapture::append(const LogRecord& record)
{
    std::lock_guard lock(m_mutex);
    m_records.append(record);
}
