#include "portal/SecretServiceItem.h"
#include "testkit/Await.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// A service name of this run only, so the tests never see or touch anyone else's items.
QString uniqueService(const char* test)
{
    return u"com.tolvek.brewbeacon.test.%1.%2"_s.arg(QCoreApplication::applicationPid()).arg(QLatin1String(test));
}
} // namespace

TEST(SecretServiceItemTests, AbsentItemReadsAsNotFoundWritesReplaceItAndAccountsAreSeparate)
{
    const QString service = uniqueService("replace");
    const SecretServiceItem item(service, u"default"_s);
    const SecretServiceItem other(service, u"other"_s);
    EXPECT_EQ(await(item.read()), SecretReadResult::notFound());

    ASSERT_EQ(await(item.write("{\"fullName\":\"Ana\"}")), SecretWriteResult::written());
    EXPECT_EQ(await(item.read()), SecretReadResult::found("{\"fullName\":\"Ana\"}"));
    EXPECT_EQ(await(other.read()), SecretReadResult::notFound());

    ASSERT_EQ(await(item.write("{}")), SecretWriteResult::written());
    ASSERT_EQ(await(other.write("two")), SecretWriteResult::written());
    EXPECT_EQ(await(item.read()), SecretReadResult::found("{}"));
    EXPECT_EQ(await(other.read()), SecretReadResult::found("two"));
}
