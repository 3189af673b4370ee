#pragma once

#include "support/LogFormat.h"
#include "support/LogLevel.h"

#include <QAnyStringView>
#include <QString>

// A named log category under the program's subsystem. Format strings use the unified-log markers
// ("%{public}s", "%{private}s", "%{bool,public}d", "%{public}ld"); see formatLogMessage.
class Logger {
public:
    static QString subsystem() { return QStringLiteral("com.tolvek.brewbeacon"); }

    explicit Logger(QString category) : m_category(std::move(category)) {}

    const QString& category() const { return m_category; }

    template <typename... Args> void debug(QAnyStringView format, const Args&... args) const
    {
        // The every-second checks write several of these; dropped ones build no argument list.
        if (isWritten(LogLevel::Debug))
            write(LogLevel::Debug, format, {LogArg(args)...});
    }
    template <typename... Args> void log(QAnyStringView format, const Args&... args) const
    {
        write(LogLevel::Default, format, {LogArg(args)...});
    }
    template <typename... Args> void error(QAnyStringView format, const Args&... args) const
    {
        write(LogLevel::Error, format, {LogArg(args)...});
    }

    // Private values stay hidden unless the user opts in (BREWBEACON_LOG_PRIVATE=1 or this switch).
    static void setRevealPrivate(bool reveal);
    static bool revealPrivate();
    // Lines below this level are dropped before formatting (BREWBEACON_LOG_LEVEL=debug|default|error).
    static void setMinimumLevel(LogLevel level);
    static LogLevel minimumLevel();

    // Whether a line of that level goes anywhere: above the threshold, or a capture listening.
    static bool isWritten(LogLevel level);

private:
    void write(LogLevel level, QAnyStringView format, const QList<LogArg>& args) const;

    QString m_category;
};
