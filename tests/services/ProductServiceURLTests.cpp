#include "services/ProductServiceURL.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ProductServiceURL, EnvironmentBeatsSettingsAndUnusableValuesFallBack)
{
    QSettings settings;
    qunsetenv("BREWBEACON_SERVICE_URL");
    settings.remove(u"productServiceURL"_s);
    EXPECT_EQ(ProductServiceURL::base(), ProductServiceURL::defaultBase());

    settings.setValue(u"productServiceURL"_s, u"http://127.0.0.1:8123"_s);
    EXPECT_EQ(ProductServiceURL::base(), QUrl(u"http://127.0.0.1:8123"_s));
    qputenv("BREWBEACON_SERVICE_URL", "http://localhost:9000/prefix/");
    EXPECT_EQ(ProductServiceURL::endpoint(u"/api/feedback"_s), QUrl(u"http://localhost:9000/prefix/api/feedback"_s));

    for (const char* bad : {"ftp://host", "not a url", "/relative", "http://"}) {
        qputenv("BREWBEACON_SERVICE_URL", bad);
        EXPECT_EQ(ProductServiceURL::base(), QUrl(u"http://127.0.0.1:8123"_s)) << bad;
    }
    qunsetenv("BREWBEACON_SERVICE_URL");
    settings.setValue(u"productServiceURL"_s, u"javascript:alert(1)"_s);
    EXPECT_EQ(ProductServiceURL::base(), ProductServiceURL::defaultBase());
    settings.remove(u"productServiceURL"_s);
}

TEST(ProductServiceURL, EndpointReplacesQueryAndFragment)
{
    EXPECT_EQ(ProductServiceURL::endpoint(QUrl(u"https://h.example/?x=1#f"_s), u"appcast.xml"_s),
              QUrl(u"https://h.example/appcast.xml"_s));
}
