// The profile store against the real keyring the test script starts on a private session bus.
#include "portal/PortalAutofillProfileStore.h"
#include "testkit/Await.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QString uniqueService(const char* test)
{
    return u"com.tolvek.brewbeacon.test.%1.store.%2"_s.arg(QCoreApplication::applicationPid()).arg(QLatin1String(test));
}
} // namespace

TEST(PortalAutofillProfileStoreTests, SavesTheNormalizedProfileAndReplacesIt)
{
    PortalAutofillProfileStore store(uniqueService("roundtrip"));
    EXPECT_EQ(await(store.load()), PortalAutofillProfile::empty()) << "nothing stored yet";

    PortalAutofillProfile profile;
    profile.fullName = u"  Linh Tran\n"_s;
    profile.emailAddress = u"linh@example.com "_s;
    profile.gender = u"Female"_s;
    await(store.save(profile));
    EXPECT_EQ(await(store.load()), profile.normalized());

    PortalAutofillProfile cleared;
    await(store.save(cleared));
    EXPECT_EQ(await(store.load()), PortalAutofillProfile::empty()) << "clearing stores empty strings, not the old ones";
}

// Partial items are decoded as the profile's JSON tests show; here the store itself meets damaged ones.
TEST(PortalAutofillProfileStoreTests, DamagedItemsReadAsEmptyAndTheNextSaveReplacesThem)
{
    const QString service = uniqueService("damaged");
    const SecretServiceItem item(service, PortalAutofillProfileStore::installedAccount());
    PortalAutofillProfileStore store(service);

    ASSERT_EQ(await(item.write(R"({"fullName":" Minh "})")), SecretWriteResult::written());
    EXPECT_EQ(await(store.load()).fullName, u" Minh "_s) << "loaded as stored, not normalized";
    for (const QByteArray& damaged : {QByteArray("{not json"), QByteArray("[\"a\"]"), QByteArray(R"({"fullName":7})"),
                                      QByteArray("\xff\xfe")}) {
        ASSERT_EQ(await(item.write(damaged)), SecretWriteResult::written());
        EXPECT_EQ(await(store.load()), PortalAutofillProfile::empty()) << damaged.toStdString();
    }
    // The next save replaces the damaged item.
    PortalAutofillProfile profile;
    profile.postalCode = u"700000"_s;
    await(store.save(profile));
    EXPECT_EQ(await(store.load()).postalCode, u"700000"_s);
}
