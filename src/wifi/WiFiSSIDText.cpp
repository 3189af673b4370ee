#include "wifi/WiFiSSIDText.h"


namespace {

// Length of the valid UTF-8 sequence starting at data[i], 0 when the byte there starts none.
int validSequenceLength(const QByteArray& data, qsizetype i)
{
    const auto byte = [&](qsizetype at) { return quint8(data.at(at)); };
    const quint8 lead = byte(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    quint8 low = 0x80;
    quint8 high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (i + length > data.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

QString WiFiSSIDText::decode(const QByteArray& ssid)
{
    QString text;
    text.reserve(ssid.size());
    qsizetype i = 0;
    while (i < ssid.size()) {
        const int length = validSequenceLength(ssid, i);
        if (length == 0) {
            text += QStringLiteral("\\x") + QString::number(quint8(ssid.at(i)), 16).rightJustified(2, QLatin1Char('0')).toUpper();
            ++i;
            continue;
        }
        text += QString::fromUtf8(ssid.constData() + i, length);
        i += length;
    }
    return text;
}
