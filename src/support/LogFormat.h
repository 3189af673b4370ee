#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <variant>

// One argument of a log line. Strings, booleans, integers and doubles are what the program logs.
class LogArg {
public:
    LogArg(const QString& text) : m_value(text) {}
    LogArg(const char* text) : m_value(QString::fromUtf8(text)) {}
    LogArg(bool flag) : m_value(flag) {}
    LogArg(int number) : m_value(qint64(number)) {}
    LogArg(long number) : m_value(qint64(number)) {}
    LogArg(long long number) : m_value(qint64(number)) {}
    LogArg(unsigned number) : m_value(qint64(number)) {}
    LogArg(unsigned long number) : m_value(qint64(number)) {}
    LogArg(unsigned long long number) : m_value(qint64(number)) {}
    LogArg(double number) : m_value(number) {}

    bool isString() const { return std::holds_alternative<QString>(m_value); }
    QString render(bool asBool) const;

private:
    std::variant<QString, bool, qint64, double> m_value;
};

// Expands a unified-log style format ("%{public}s", "%{private}s", "%{bool,public}d", "%{public}ld", "%%").
// Values marked private, and strings without a marker, print as "<private>" unless revealPrivate is set.
// Surplus placeholders print as "<missing>" so a wrong call never reads past its arguments.
QString formatLogMessage(const QString& format, const QList<LogArg>& args, bool revealPrivate);
