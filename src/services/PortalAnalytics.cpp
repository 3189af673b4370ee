#include "services/PortalAnalytics.h"

#include <QStringList>
#include <array>

using namespace Qt::StringLiterals;

namespace {
struct CategoryRow {
    QStringList terms;
    QString category;
};

const std::array<CategoryRow, 11>& rows()
{
    static const std::array<CategoryRow, 11> table = {{
        {{u"captcha"_s, u"turnstile"_s}, u"captcha"_s},
        {{u"otp"_s, u"verification code"_s, u"xác thực"_s}, u"otp"_s},
        {{u"voucher"_s, u"coupon"_s}, u"voucher"_s},
        {{u"payment"_s, u"card"_s, u"thanh toán"_s}, u"payment"_s},
        {{u"password"_s, u"mật khẩu"_s}, u"credential"_s},
        {{u"facebook"_s, u"google"_s, u"zalo"_s}, u"social_login"_s},
        {{u"video"_s, u"advert"_s, u"scan qr"_s, u"install app"_s}, u"engagement_gate"_s},
        {{u"required field"_s, u"identity field"_s}, u"unknown_required"_s},
        {{u"multiple submit"_s}, u"ambiguous_action"_s},
        {{u"supported field"_s}, u"unsupported"_s},
        {{u"waiting for"_s}, u"waiting"_s},
    }};
    return table;
}
} // namespace

QString PortalAnalytics::blockerCategory(const std::optional<QString>& reason)
{
    // Compose so that a decomposed "xác thực" from a page still matches.
    const QString text = reason.value_or(QString()).normalized(QString::NormalizationForm_C).toLower();
    for (const auto& row : rows()) {
        for (const auto& term : row.terms) {
            if (text.contains(term))
                return row.category;
        }
    }
    return text.isEmpty() ? u"none"_s : u"other"_s;
}
