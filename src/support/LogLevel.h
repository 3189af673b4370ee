#pragma once

#include <QString>

// The three levels the program logs at. "Default" is the ordinary level of the platform log.
enum class LogLevel { Debug, Default, Error };

inline QString logLevelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug:
        return QStringLiteral("debug");
    case LogLevel::Default:
        return QStringLiteral("default");
    case LogLevel::Error:
        return QStringLiteral("error");
    }
    return QStringLiteral("default");
}

// One emitted line, as sinks and test captures see it.
struct LogRecord {
    LogLevel level = LogLevel::Default;
    QString subsystem;
    QString category;
    QString message;

    bool operator==(const LogRecord&) const = default;
};
