// The assistant window speaks to a person: every reason a portal is handed over with becomes a sentence
// in the window's language, never the raw reason.
#include "portal/PortalAssistantStatus.h"
#include "portal/PortalAssistantTexts.h"
#include "portal/PortalAutofillProfile.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QLocale english(QLocale::English);
const QLocale vietnamese(QLocale::Vietnamese);

TEST(PortalAssistantTexts, EveryHandOffReasonBecomesASentenceInBothLanguages)
{
    const QList<std::pair<QString, QString>> reasons{
        {u"Needs user action: captcha"_s, u"captcha"_s},
        {u"Needs user action: code received"_s, u"otp"_s},
        {u"Needs user action: mã voucher"_s, u"voucher"_s},
        {u"Needs user action: pay to access"_s, u"payment"_s},
        {u"Needs user action: mot de passe"_s, u"credential"_s},
        {u"Needs user action: sign in with apple"_s, u"social_login"_s},
        {u"Needs user action: đăng nhập bằng zalo"_s, u"social_login"_s},
        {u"Needs user action: room number"_s, u"member"_s},
        {u"Needs user action: thành viên"_s, u"member"_s},
        {u"Needs user action: xem quảng cáo"_s, u"engagement_gate"_s},
        {u"Needs user action: identity field"_s, u"unknown_required"_s},
        {u"Needs user action: multiple submit buttons"_s, u"ambiguous_action"_s},
        {u"Needs user action: unsupported portal"_s, u"unsupported"_s},
        {u"Needs user action: still captive"_s, u"still_captive"_s},
        {u"Internet is still captive after automatic submission"_s, u"still_captive"_s},
        {u"automatic attempt timed out"_s, u"timeout"_s},
        {u"Waiting for the portal next step."_s, u"waiting"_s},
    };
    QSet<QString> sentences, categories;
    for (const auto& [reason, category] : reasons) {
        categories.insert(category);
        EXPECT_EQ(PortalAssistantTexts::reasonCategory(reason), category) << reason.toStdString();
        const QString inEnglish = PortalAssistantTexts::reasonSentence(reason, english);
        const QString inVietnamese = PortalAssistantTexts::reasonSentence(reason, vietnamese);
        EXPECT_FALSE(inEnglish.contains(u"Needs user action"_s)) << reason.toStdString();
        EXPECT_NE(inEnglish, inVietnamese) << reason.toStdString() << ": no Vietnamese sentence";
        sentences.insert(inEnglish);
    }
    EXPECT_EQ(sentences.size(), categories.size()) << "each category has its own sentence";
}

TEST(PortalAssistantTexts, TheStatusCardFollowsTheWindowLanguage)
{
    PortalAutofillEvent blocked;
    blocked.didRun = true;
    blocked.blocked = true;
    blocked.reason = u"Needs user action: captcha"_s;
    const auto status = PortalAssistantStatus::make(blocked, PortalAutofillProfile(), vietnamese);
    EXPECT_EQ(status.symbol, PortalAssistantStatus::Symbol::raisedHand);
    EXPECT_NE(status.title, PortalAssistantStatus::make(blocked, PortalAutofillProfile(), english).title);
    EXPECT_TRUE(status.detail.contains(u"CAPTCHA"_s));

    PortalAutofillEvent filled;
    filled.didRun = true;
    filled.filledFields = 2;
    filled.checkedBoxes = 1;
    EXPECT_EQ(PortalAssistantStatus::make(filled, PortalAutofillProfile(), vietnamese).detail,
              u"Đã điền 2 ô và đánh dấu 1 ô chọn."_s);
    EXPECT_EQ(PortalAssistantStatus::make(filled, PortalAutofillProfile(), english).detail,
              u"Filled 2 field(s) and checked 1 box(es)."_s);
}

} // namespace
