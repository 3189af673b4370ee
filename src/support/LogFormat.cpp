#include "support/LogFormat.h"

QString LogArg::render(bool asBool) const
{
    if (const auto* text = std::get_if<QString>(&m_value))
        return *text;
    if (const auto* flag = std::get_if<bool>(&m_value))
        return *flag ? QStringLiteral("true") : QStringLiteral("false");
    if (const auto* number = std::get_if<qint64>(&m_value)) {
        if (asBool)
            return *number != 0 ? QStringLiteral("true") : QStringLiteral("false");
        return QString::number(*number);
    }
    return QString::number(std::get<double>(m_value));
}

namespace {

bool isConversionEnd(QChar c)
{
    static const QString ends = QStringLiteral("sdiufFeEgGxXcp@");
    return ends.contains(c);
}

struct Placeholder {
    bool isPrivate = false;
    bool explicitVisibility = false;
    bool asBool = false;
};

Placeholder parseDecorations(const QString& decorations)
{
    Placeholder placeholder;
    const auto parts = decorations.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const auto& raw : parts) {
        const QString part = raw.trimmed().toLower();
        if (part == QLatin1String("public")) {
            placeholder.explicitVisibility = true;
            placeholder.isPrivate = false;
        } else if (part == QLatin1String("private") || part == QLatin1String("sensitive")) {
            placeholder.explicitVisibility = true;
            placeholder.isPrivate = true;
        } else if (part == QLatin1String("bool")) {
            placeholder.asBool = true;
        }
    }
    return placeholder;
}

} // namespace

QString formatLogMessage(const QString& format, const QList<LogArg>& args, bool revealPrivate)
{
    QString out;
    out.reserve(format.size() + 16 * args.size());
    qsizetype next = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= n) {
            out.append(c);
            continue;
        }
        if (format.at(i + 1) == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        Placeholder placeholder;
        if (format.at(j) == QLatin1Char('{')) {
            const qsizetype close = format.indexOf(QLatin1Char('}'), j);
            if (close < 0) {
                out.append(format.mid(i));
                break;
            }
            placeholder = parseDecorations(format.mid(j + 1, close - j - 1));
            j = close + 1;
        }
        while (j < n && !isConversionEnd(format.at(j)))
            ++j;
        if (j >= n) {
            out.append(format.mid(i));
            break;
        }
        i = j;
        if (next >= args.size()) {
            out.append(QStringLiteral("<missing>"));
            continue;
        }
        const LogArg& arg = args.at(next++);
        // Dynamic strings are private unless marked public; scalars are public unless marked private.
        const bool hidden = placeholder.explicitVisibility ? placeholder.isPrivate : arg.isString();
        out.append(hidden && !revealPrivate ? QStringLiteral("<private>") : arg.render(placeholder.asBool));
    }
    return out;
}
