#include "support/Logger.h"

#include "support/LogSinks.h"

#include <atomic>
#include <optional>

namespace {

std::optional<LogLevel> levelFromName(const QByteArray& name)
{
    const QByteArray lower = name.trimmed().toLower();
    if (lower == "debug")
        return LogLevel::Debug;
    if (lower == "default" || lower == "info")
        return LogLevel::Default;
    if (lower == "error")
        return LogLevel::Error;
    return std::nullopt;
}

std::atomic<bool>& revealFlag()
{
    static std::atomic<bool> flag{qEnvironmentVariableIntValue("BREWBEACON_LOG_PRIVATE") == 1};
    return flag;
}

std::atomic<int>& minimumLevelValue()
{
    static std::atomic<int> level{
        int(levelFromName(qgetenv("BREWBEACON_LOG_LEVEL")).value_or(LogLevel::Default))};
    return level;
}

} // namespace

void Logger::setRevealPrivate(bool reveal) { revealFlag().store(reveal); }

bool Logger::revealPrivate() { return revealFlag().load(); }

void Logger::setMinimumLevel(LogLevel level) { minimumLevelValue().store(int(level)); }

LogLevel Logger::minimumLevel() { return LogLevel(minimumLevelValue().load()); }

bool Logger::isWritten(LogLevel level)
{
    // Captures see every level, so tests can check debug lines without changing the threshold.
    return int(level) >= minimumLevelValue().load() || LogSinks::hasCaptures();
}

void Logger::write(LogLevel level, QAnyStringView format, const QList<LogArg>& args) const
{
    const bool wanted = int(level) >= minimumLevelValue().load();
    if (!wanted && !LogSinks::hasCaptures())
        return;
    LogRecord record{level, subsystem(), m_category, formatLogMessage(format.toString(), args, revealPrivate())};
    LogSinks::dispatch(record, wanted);
}
