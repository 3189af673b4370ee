#include "services/update/UpdateVersion.h"

#include <QList>

namespace {

struct Part {
    bool numeric = false;
    QStringView text;
};

QList<Part> split(QStringView version)
{
    QList<Part> parts;
    qsizetype i = 0;
    while (i < version.size()) {
        const QChar c = version.at(i);
        if (!c.isLetterOrNumber()) {
            ++i;
            continue;
        }
        const bool numeric = c.isDigit();
        qsizetype end = i;
        while (end < version.size() && version.at(end).isLetterOrNumber() && version.at(end).isDigit() == numeric)
            ++end;
        QStringView text = version.sliced(i, end - i);
        if (numeric) {
            while (text.size() > 1 && text.front() == u'0')
                text = text.sliced(1);
        }
        parts.append({numeric, text});
        i = end;
    }
    return parts;
}

int compareParts(const Part& left, const Part& right)
{
    if (left.numeric != right.numeric)
        return left.numeric ? 1 : -1; // "1.0.1" after "1.0a"
    if (left.numeric && left.text.size() != right.text.size())
        return left.text.size() < right.text.size() ? -1 : 1;
    return left.text.compare(right.text, left.numeric ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

} // namespace

int compareUpdateVersions(QStringView left, QStringView right)
{
    const QList<Part> a = split(left);
    const QList<Part> b = split(right);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size())
            return b.at(i).numeric ? -1 : 1; // "2.0" < "2.0.1", "2.0" > "2.0b"
        if (i >= b.size())
            return a.at(i).numeric ? 1 : -1;
        if (const int order = compareParts(a.at(i), b.at(i)); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}
