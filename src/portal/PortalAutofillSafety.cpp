#include "portal/PortalAutofillSafety.h"

#include <QDate>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A whole decimal number: an optional sign, then ASCII digits only. Values past 64 bits do not parse.
std::optional<qint64> wholeNumber(const QString& text)
{
    qsizetype index = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        index = 1;
    }
    if (index == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; index < text.size(); ++index) {
        const char16_t c = text.at(index).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (std::numeric_limits<qint64>::max() - (c - u'0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

bool isWholeNumberWithin(const QString& text, qint64 lowest, qint64 highest)
{
    const auto value = wholeNumber(text);
    return value && *value >= lowest && *value <= highest;
}

} // namespace

namespace PortalAutofillSafety {

bool isLikelyEmail(const QString& text)
{
    const QStringList pieces = text.split(u'@', Qt::KeepEmptyParts);
    return pieces.size() == 2 && !pieces[0].isEmpty() && pieces[1].contains(u'.') && !text.contains(u' ');
}

bool isLikelyBirthYear(const QString& text, int currentYear)
{
    return text.size() == 4 && isWholeNumberWithin(text, 1900, currentYear);
}

bool isLikelyBirthYear(const QString& text)
{
    return isLikelyBirthYear(text, QDate::currentDate().year());
}

bool isLikelyMonth(const QString& text)
{
    return isWholeNumberWithin(text, 1, 12);
}

bool isLikelyDay(const QString& text)
{
    return isWholeNumberWithin(text, 1, 31);
}

const QStringList& blockerTerms()
{
    // Vietnamese terms are precomposed and listed with and without their diacritics, as portals use both.
    static const QStringList terms = {
        u"captcha"_s, u"hcaptcha"_s, u"g-recaptcha"_s, u"turnstile"_s, u"one-time"_s, u"otp"_s,
        u"verification code"_s, u"voucher"_s, u"coupon"_s, u"room number"_s, u"booking"_s, u"member"_s,
        u"membership"_s, u"payment"_s, u"credit card"_s, u"card number"_s, u"password"_s,
        u"social security"_s, u"government id"_s, u"passport"_s, u"driver's license"_s, u"biometric"_s,
        u"facebook login"_s, u"login with facebook"_s, u"sign in with facebook"_s, u"đăng nhập facebook"_s,
        u"dang nhap facebook"_s, u"zalo login"_s, u"login with zalo"_s, u"đăng nhập zalo"_s,
        u"dang nhap zalo"_s, u"google login"_s, u"login with google"_s, u"sign in with google"_s,
        u"đăng nhập google"_s, u"dang nhap google"_s, u"mã otp"_s, u"ma otp"_s, u"mã xác thực"_s,
        u"ma xac thuc"_s, u"mã truy cập"_s, u"ma truy cap"_s, u"mã voucher"_s, u"ma voucher"_s,
        u"mật khẩu"_s, u"mat khau"_s, u"số phòng"_s, u"so phong"_s, u"đặt phòng"_s, u"dat phong"_s,
        u"thành viên"_s, u"thanh vien"_s, u"thanh toán"_s, u"thanh toan"_s, u"thẻ tín dụng"_s,
        u"the tin dung"_s, u"watch video"_s, u"xem video"_s, u"watch advertisement"_s, u"watch ad"_s,
        u"xem quảng cáo"_s, u"xem quang cao"_s, u"scan qr"_s, u"quét mã qr"_s, u"quet ma qr"_s,
        u"install app"_s, u"download app"_s, u"tải ứng dụng"_s, u"tai ung dung"_s,
    };
    return terms;
}

} // namespace PortalAutofillSafety
