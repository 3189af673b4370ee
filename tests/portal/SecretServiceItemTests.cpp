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

TEST(SecretServiceItemTests, AbsentItemReadsAsNotFoundAndWritesReplaceTheWholeItem)
{
    const SecretServiceItem item(uniqueService("replace"), u"default"_s);
    EXPECT_EQ(await(item.read()), SecretReadResult::notFound());

    ASSERT_EQ(await(item.write("{\"fullName\":\"Ana\"}")), SecretWriteResult::written());
    EXPECT_EQ(await(item.read()), SecretReadResult::found("{\"fullName\":\"Ana\"}"));

    ASSERT_EQ(await(item.write("{}")), SecretWriteResult::written());
    EXPECT_EQ(await(item.read()), SecretReadResult::found("{}"));
}

TEST(SecretServiceItemTests, AccountsOfOneServiceAreSeparateItems)
{
    const QString service = uniqueService("accounts");
    const SecretServiceItem first(service, u"default"_s);
    const SecretServiceItem second(service, u"other"_s);
    ASSERT_EQ(await(first.write("one")), SecretWriteResult::written());
    ASSERT_EQ(await(second.write("two")), SecretWriteResult::written());
    EXPECT_EQ(await(first.read()), SecretReadResult::found("one"));
    EXPECT_EQ(await(second.read()), SecretReadResult::found("two"));
}
