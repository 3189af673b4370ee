#include "wifi/ScanNamings.h"

#include <QString>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

char16_t unitOf(QChar c)
{
    return c.unicode();
}

char16_t unitOf(char c)
{
    return uchar(c);
}

bool isAscii(auto units)
{
    return std::all_of(units.begin(), units.end(), [](auto unit) { return unitOf(unit) < 0x80; });
}

// Appends the uniqueness name of a plain-ASCII name, given as bytes or as text, to `out`.
void appendAsciiUniquenessName(auto units, std::u16string& out)
{
    const auto isBlank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    auto begin = units.begin();
    auto end = units.end();
    while (begin != end && isBlank(unitOf(*begin)))
        ++begin;
    while (end != begin && isBlank(unitOf(*(end - 1))))
        --end;
    const size_t start = out.size();
    out.resize(start + 2 + size_t(end - begin));
    char16_t* written = out.data() + start;
    *written++ = u't';
    *written++ = u':';
    for (auto at = begin; at != end; ++at) {
        const char16_t c = unitOf(*at);
        *written++ = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    }
}

} // namespace

void appendUniquenessName(Naming naming, std::u16string& out)
{
    // Plain ASCII (most names) is valid UTF-8 as it stands and lower-cases letter by letter.
    if (naming.bytes.isEmpty()) {
        if (isAscii(naming.ssid))
            return appendAsciiUniquenessName(naming.ssid, out);
        const QByteArray bytes = naming.ssid.toUtf8();
        return appendUniquenessName({naming.ssid, bytes}, out);
    }
    if (isAscii(naming.bytes))
        return appendAsciiUniquenessName(naming.bytes, out);
    const QString text = QString::fromUtf8(naming.bytes);
    const QString name = text.toUtf8() == naming.bytes ? u"t:"_s + text.trimmed().toLower()
                                                       : u"b:"_s + QString::fromLatin1(naming.bytes.trimmed().toByteArray().toHex());
    out.append(reinterpret_cast<const char16_t*>(name.utf16()), size_t(name.size()));
}
