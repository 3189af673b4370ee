#include "portal/PortalAutofillEvent.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray complete =
    R"({"didRun":true,"blocked":true,"reason":"Needs user action: captcha","filledFields":2,"checkedBoxes":1,"submitted":false,"fieldCategories":["full_name","terms"]})";

TEST(PortalAutofillEvent, DecodesACompleteResultAndOnlyTheReasonMayBeMissing)
{
    const auto event = PortalAutofillEvent::fromJSON(complete);
    ASSERT_TRUE(event);
    EXPECT_TRUE(event->didRun);
    EXPECT_TRUE(event->blocked);
    EXPECT_EQ(event->reason, u"Needs user action: captcha"_s);
    EXPECT_EQ(event->filledFields, 2);
    EXPECT_EQ(event->checkedBoxes, 1);
    EXPECT_FALSE(event->submitted);
    EXPECT_EQ(event->fieldCategories, (QStringList{u"full_name"_s, u"terms"_s}));
    EXPECT_EQ(PortalAutofillEvent::fromJSON(event->toJSON()), event);

    // The reason alone may be missing or null.
    QByteArray withNull = complete;
    withNull.replace(R"("Needs user action: captcha")", "null");
    ASSERT_TRUE(PortalAutofillEvent::fromJSON(withNull));
    EXPECT_EQ(PortalAutofillEvent::fromJSON(withNull)->reason, std::nullopt);
    QByteArray without = complete;
    without.replace(R"("reason":"Needs user action: captcha",)", "");
    EXPECT_EQ(PortalAutofillEvent::fromJSON(without)->reason, std::nullopt);
}

TEST(PortalAutofillEvent, AnyOtherMissingOrMistypedKeyIsUnusable)
{
    const QList<std::pair<QByteArray, QByteArray>> breakages = {
        {R"("didRun":true,)", ""},
        {R"("blocked":true)", R"("blocked":"true")"},
        {R"("filledFields":2)", R"("filledFields":2.5)"},
        {R"("submitted":false)", R"("submitted":0)"},
        {R"("fieldCategories":["full_name","terms"])", R"("fieldCategories":"full_name")"},
        {R"(["full_name","terms"])", R"(["full_name",3])"},
        {R"("Needs user action: captcha")", "42"},
    };
    for (const auto& [from, to] : breakages) {
        QByteArray broken = complete;
        broken.replace(from, to);
        ASSERT_NE(broken, complete);
        EXPECT_FALSE(PortalAutofillEvent::fromJSON(broken)) << broken.constData();
    }
    EXPECT_FALSE(PortalAutofillEvent::fromJSON("[]"));
    EXPECT_FALSE(PortalAutofillEvent::fromJSON("not json"));
    EXPECT_FALSE(PortalAutofillEvent::fromJSON(""));
}

} // namespace
