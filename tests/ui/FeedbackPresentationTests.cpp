#include "ui/CopiedValueMark.h"
#include "ui/FeedbackPresentation.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QLocale english(QLocale::English);
}

TEST(FeedbackPresentationTest, CountersAndResultLines)
{
    EXPECT_EQ(FeedbackPresentation::wordCounter(37, english), u"37/2,000 words"_s);
    EXPECT_EQ(FeedbackPresentation::attachmentCounter(0, 0, english), u"0 of 5 images · 0 bytes"_s);
    EXPECT_EQ(FeedbackPresentation::attachmentCounter(2, 1'400'000, english), u"2 of 5 images · 1.4 MB"_s);

    const auto sent = FeedbackPresentation::resultLine(FeedbackResult::success(u"FB-42"_s), english);
    EXPECT_TRUE(sent.text.contains(u"FB-42"_s));
    EXPECT_TRUE(sent.isSuccess);
    const auto failed = FeedbackPresentation::resultLine(FeedbackResult::failure(u"Service unavailable"_s), english);
    EXPECT_EQ(failed.text, u"Service unavailable"_s);
    EXPECT_FALSE(failed.isSuccess);
}

TEST(CopiedValueMarkTest, AnEarlierCopysExpiryLeavesALaterMark)
{
    CopiedValueMark mark;
    const auto first = mark.mark(u"IBAN"_s);
    const auto second = mark.mark(u"Account name"_s);
    mark.expire(first);
    EXPECT_TRUE(mark.isMarked(u"Account name"_s));
    EXPECT_FALSE(mark.isMarked(u"IBAN"_s));

    // Copying the same value again restarts its time too.
    const auto third = mark.mark(u"Account name"_s);
    mark.expire(second);
    EXPECT_TRUE(mark.isMarked(u"Account name"_s));
    mark.expire(third);
    EXPECT_FALSE(mark.copiedValue());
}
