#include "portal/PortalAssistantTexts.h"

#include "services/PortalAnalytics.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QHash<QString, QString>& vietnamese()
{
    static const QHash<QString, QString> table = {
        {u"BrewBeacon Portal Assistant"_s, u"Trợ lý cổng Wi-Fi BrewBeacon"_s},
        {u"Portal Assistant"_s, u"Trợ lý cổng Wi-Fi"_s},
        {u"Open in Browser"_s, u"Mở trong trình duyệt"_s},
        {u"Autofill details"_s, u"Thông tin tự điền"_s},
        {u"Full name"_s, u"Họ và tên"_s},
        {u"Birth year"_s, u"Năm sinh"_s},
        {u"Fill Again"_s, u"Điền lại"_s},
        {u"BrewBeacon uses generated visitor details and stops for CAPTCHA, OTP, voucher, payment, password, "
         "member-only, and unclear required fields."_s,
         u"BrewBeacon dùng thông tin khách được tạo sẵn và dừng lại trước CAPTCHA, mã OTP, voucher, thanh toán, "
         "mật khẩu, trang chỉ dành cho thành viên và các ô bắt buộc không rõ ràng."_s},
        {u"Needs your review"_s, u"Cần bạn xem lại"_s},
        {u"Submitted"_s, u"Đã gửi"_s},
        {u"Filled"_s, u"Đã điền"_s},
        {u"Ready"_s, u"Sẵn sàng"_s},
        {u"BrewBeacon submitted a simple portal form."_s, u"BrewBeacon đã gửi một biểu mẫu cổng đơn giản."_s},
        {u"Filled %1 field(s) and checked %2 box(es)."_s, u"Đã điền %1 ô và đánh dấu %2 ô chọn."_s},
        {u"BrewBeacon will fill matching name and birth-year fields."_s,
         u"BrewBeacon sẽ điền các ô họ tên và năm sinh phù hợp."_s},
        {u"BrewBeacon will use generated visitor details, then leave the portal here if manual input is needed."_s,
         u"BrewBeacon sẽ dùng thông tin khách được tạo sẵn, rồi để cổng ở đây nếu cần bạn tự nhập."_s},
        {u"This portal asks you to prove you are a person (a CAPTCHA). Please complete it yourself."_s,
         u"Cổng này yêu cầu xác minh bạn là người (CAPTCHA). Vui lòng tự hoàn tất."_s},
        {u"This portal sends or asks for a one-time code. Please enter the code yourself."_s,
         u"Cổng này gửi hoặc yêu cầu mã dùng một lần. Vui lòng tự nhập mã."_s},
        {u"This portal asks for a voucher or access code. Enter the one the venue gave you."_s,
         u"Cổng này yêu cầu mã voucher hoặc mã truy cập. Vui lòng nhập mã do quán cung cấp."_s},
        {u"This portal asks for payment. BrewBeacon never pays for you."_s,
         u"Cổng này yêu cầu thanh toán. BrewBeacon không bao giờ thanh toán thay bạn."_s},
        {u"This portal asks for an account or a password. Sign in yourself if you have one."_s,
         u"Cổng này yêu cầu tài khoản hoặc mật khẩu. Vui lòng tự đăng nhập nếu bạn có."_s},
        {u"This portal wants you to sign in with another account, such as Google, Facebook or Zalo. That choice is yours."_s,
         u"Cổng này muốn bạn đăng nhập bằng một tài khoản khác như Google, Facebook hay Zalo. Việc này do bạn quyết định."_s},
        {u"This network seems to be for members or hotel guests only (member account, room number or booking)."_s,
         u"Mạng này có vẻ chỉ dành cho thành viên hoặc khách lưu trú (tài khoản thành viên, số phòng hoặc đặt phòng)."_s},
        {u"This portal wants you to watch an advert, scan a code or install an app first."_s,
         u"Cổng này muốn bạn xem quảng cáo, quét mã hoặc cài ứng dụng trước."_s},
        {u"The form asks something BrewBeacon cannot answer for you. Please fill it in."_s,
         u"Biểu mẫu hỏi điều mà BrewBeacon không thể trả lời thay bạn. Vui lòng tự điền."_s},
        {u"The page has several buttons and it is not clear which one connects. Please choose."_s,
         u"Trang có nhiều nút và không rõ nút nào để kết nối. Vui lòng tự chọn."_s},
        {u"BrewBeacon could not read this portal page. Please continue on the page yourself."_s,
         u"BrewBeacon không đọc được trang cổng này. Vui lòng tự thao tác trên trang."_s},
        {u"Waiting for the portal's next page."_s, u"Đang chờ trang tiếp theo của cổng."_s},
        {u"The portal still keeps you offline after the form was sent. Please look for a message on the page."_s,
         u"Cổng vẫn chưa cho bạn truy cập sau khi gửi biểu mẫu. Vui lòng xem thông báo trên trang."_s},
        {u"The portal took too long, so it is shown to you here."_s,
         u"Cổng phản hồi quá lâu nên được hiển thị cho bạn tại đây."_s},
        {u"This portal needs your attention."_s, u"Cổng này cần bạn xử lý."_s},
    };
    return table;
}

bool isVietnamese(const QLocale& locale)
{
    return locale.language() == QLocale::Vietnamese;
}

} // namespace

QString PortalAssistantTexts::text(const QString& english, const QLocale& locale)
{
    if (!isVietnamese(locale))
        return english;
    return vietnamese().value(english, english);
}

QString PortalAssistantTexts::reasonCategory(const QString& reason)
{
    const QString lower = reason.normalized(QString::NormalizationForm_C).toLower();
    if (lower.isEmpty())
        return u"none"_s;
    // What the shared analytics table does not tell apart.
    if (lower.contains("still captive"_L1))
        return u"still_captive"_s;
    if (lower.contains("timed out"_L1))
        return u"timeout"_s;
    for (const char* term : {"member", "thành viên", "thanh vien", "room number", "số phòng", "so phong", "booking",
                             "đặt phòng", "dat phong", "matricule", "student id", "employee id"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"member"_s;
    for (const char* term : {"mot de passe", "contraseña", "contrasena", "passwort", "senha", "kata sandi"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"credential"_s;
    for (const char* term : {"sms", "code received", "code sent", "digit code", "enter code", "enter the code",
                             "verify", "mã xác nhận", "ma xac nhan", "one-time", "mã otp", "ma otp"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"otp"_s;
    for (const char* term : {"pay", "purchase", "checkout", "m-pesa", "mpesa", "credit card", "thẻ tín dụng", "the tin dung",
                             "thanh toan"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"payment"_s;
    if (lower.contains("unsupported"_L1))
        return u"unsupported"_s;
    for (const char* term : {"social login", "sign in with", "sign up with", "continue with", "connect with",
                             "log in with", "login with", "bằng apple"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"social_login"_s;
    for (const char* term : {"ma voucher", "mã truy cập", "ma truy cap"})
        if (lower.contains(QString::fromUtf8(term)))
            return u"voucher"_s;
    if (lower.contains("xem video"_L1) || lower.contains(u"quảng cáo"_s) || lower.contains("quang cao"_L1) ||
        lower.contains("qr"_L1) || lower.contains(u"ứng dụng"_s) || lower.contains("ung dung"_L1) ||
        lower.contains("download app"_L1) || lower.contains("watch ad"_L1))
        return u"engagement_gate"_s;
    const QString shared = PortalAnalytics::blockerCategory(reason);
    if (shared == "waiting"_L1 || lower.contains("waiting"_L1))
        return u"waiting"_s;
    return shared == "none"_L1 ? u"other"_s : shared;
}

QString PortalAssistantTexts::reasonSentence(const QString& reason, const QLocale& locale)
{
    static const QHash<QString, QString> sentences = {
        {u"captcha"_s, u"This portal asks you to prove you are a person (a CAPTCHA). Please complete it yourself."_s},
        {u"otp"_s, u"This portal sends or asks for a one-time code. Please enter the code yourself."_s},
        {u"voucher"_s, u"This portal asks for a voucher or access code. Enter the one the venue gave you."_s},
        {u"payment"_s, u"This portal asks for payment. BrewBeacon never pays for you."_s},
        {u"credential"_s, u"This portal asks for an account or a password. Sign in yourself if you have one."_s},
        {u"social_login"_s,
         u"This portal wants you to sign in with another account, such as Google, Facebook or Zalo. That choice is yours."_s},
        {u"member"_s,
         u"This network seems to be for members or hotel guests only (member account, room number or booking)."_s},
        {u"engagement_gate"_s, u"This portal wants you to watch an advert, scan a code or install an app first."_s},
        {u"unknown_required"_s, u"The form asks something BrewBeacon cannot answer for you. Please fill it in."_s},
        {u"ambiguous_action"_s, u"The page has several buttons and it is not clear which one connects. Please choose."_s},
        {u"unsupported"_s, u"BrewBeacon could not read this portal page. Please continue on the page yourself."_s},
        {u"waiting"_s, u"Waiting for the portal's next page."_s},
        {u"still_captive"_s,
         u"The portal still keeps you offline after the form was sent. Please look for a message on the page."_s},
        {u"timeout"_s, u"The portal took too long, so it is shown to you here."_s},
    };
    return text(sentences.value(reasonCategory(reason), u"This portal needs your attention."_s), locale);
}
