// The host-side rules of one portal attempt: which steps were pressed, which hosts are the portal's,
// and how a page's JavaScript dialogs are answered.
#include "portal/PortalDialogPolicy.h"
#include "portal/PortalHostScope.h"
#include "portal/PortalPressMemory.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PortalPressMemory, KeepsEachStepOnceAndStaysBounded)
{
    PortalPressMemory memory;
    EXPECT_TRUE(memory.remember(u"a"_s));
    EXPECT_TRUE(memory.remember(u"a"_s));
    EXPECT_EQ(memory.keys(), QStringList{u"a"_s});
    EXPECT_FALSE(memory.remember(QString()));
    EXPECT_FALSE(memory.remember(QString(PortalPressMemory::maxKeyLength + 1, u'x')));
    for (int i = 0; i < 100; ++i)
        memory.remember(QString::number(i));
    EXPECT_EQ(memory.keys().size(), PortalPressMemory::maxKeys);
    EXPECT_TRUE(memory.contains(u"a"_s)) << "a full memory still remembers what it had";
}

TEST(PortalHostScope, GrowsOnlyThroughThePortalsOwnRedirectsAndPosts)
{
    const QUrl detection(u"http://detect.test/hotspot-detect.html"_s);
    PortalHostScope scope(detection);
    EXPECT_TRUE(scope.allows(QUrl(u"http://DETECT.test:8080/other"_s))) << "host only, any letter case or port";
    EXPECT_FALSE(scope.allows(QUrl(u"http://portal.test/"_s)));

    scope.noteNavigation(detection, QUrl(u"http://portal.test/login"_s), PortalNavigationKind::redirect);
    scope.noteNavigation(QUrl(u"http://portal.test/login"_s), QUrl(u"https://auth.test/post"_s),
                         PortalNavigationKind::formSubmission);
    EXPECT_TRUE(scope.allows(QUrl(u"https://auth.test/welcome"_s)));

    scope.noteNavigation(QUrl(u"https://auth.test/welcome"_s), QUrl(u"http://gateway.test/"_s),
                         PortalNavigationKind::pageScript);
    EXPECT_TRUE(scope.allows(QUrl(u"http://gateway.test/"_s))) << "a portal page hopping on by script or refresh";

    // Links a visitor follows, history steps, and anything that starts outside the portal stay out.
    scope.noteNavigation(QUrl(u"http://portal.test/"_s), QUrl(u"http://news.test/"_s), PortalNavigationKind::link);
    scope.noteNavigation(QUrl(u"http://portal.test/"_s), QUrl(u"http://news.test/"_s), PortalNavigationKind::other);
    scope.noteNavigation(QUrl(u"http://elsewhere.test/"_s), QUrl(u"http://shop.test/"_s),
                         PortalNavigationKind::formSubmission);
    EXPECT_FALSE(scope.allows(QUrl(u"http://news.test/"_s)));
    EXPECT_FALSE(scope.allows(QUrl(u"http://shop.test/"_s)));
    EXPECT_FALSE(scope.allows(QUrl(u"javascript:alert(1)"_s)));

    for (int i = 0; i < 40; ++i)
        scope.noteNavigation(detection, QUrl(u"http://h%1.test/"_s.arg(i)), PortalNavigationKind::redirect);
    EXPECT_EQ(scope.hosts().size(), PortalHostScope::maxHosts);

    scope.reset(QUrl::fromLocalFile(u"/tmp/page.html"_s));
    EXPECT_TRUE(scope.allows(QUrl::fromLocalFile(u"/tmp/other.html"_s)));
    EXPECT_FALSE(scope.allows(detection));
}

TEST(PortalDialogPolicy, UnseenDialogsAreAnsweredAtOnceAndOnlyTermsAreAgreedTo)
{
    using Kind = PortalDialogPolicy::Kind;
    using Answer = PortalDialogPolicy::Answer;
    EXPECT_EQ(PortalDialogPolicy::answer(Kind::alert, u"Welcome!"_s, true), (Answer{false, true}));
    EXPECT_EQ(PortalDialogPolicy::answer(Kind::prompt, u"Your room number?"_s, true), (Answer{false, false}));
    EXPECT_EQ(PortalDialogPolicy::answer(Kind::confirm, u"Do you agree to the terms of use?"_s, true), (Answer{false, true}));
    EXPECT_EQ(PortalDialogPolicy::answer(Kind::confirm, u"Bạn đồng ý với điều khoản sử dụng?"_s, true), (Answer{false, true}));
    for (const QString& text : {u"Leave this page?"_s, u"Accept the terms and pay 20,000 VND?"_s,
                                u"Agree to the terms and subscribe to our newsletter?"_s})
        EXPECT_EQ(PortalDialogPolicy::answer(Kind::confirm, text, true), (Answer{false, false})) << text.toStdString();
    // The user sees the page's own box in the shown window.
    EXPECT_TRUE(PortalDialogPolicy::answer(Kind::confirm, u"Do you agree to the terms?"_s, false).show);
}

} // namespace
