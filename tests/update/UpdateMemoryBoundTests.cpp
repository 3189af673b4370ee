// A feed can be answered by anything on the way, including a gigabyte that never ends in an appcast.
// The loopback service streams that gigabyte (it never holds it); what the updater and the preflight
// hold of it is measured as the growth of this process's peak resident memory.
#include "connectivity/NetworkURLSession.h"
#include "services/SoftwareUpdateFeedPreflight.h"
#include "services/update/SoftwareUpdater.h"
#include "testkit/Await.h"
#include "testkit/LoopbackProductService.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

qint64 statusKiB(const QByteArray& field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Starts the peak ("VmHWM") again from the current resident size.
bool resetPeak()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

class NoDelegate : public SoftwareUpdaterDelegate {
    void willScheduleUpdateCheck(std::chrono::seconds) override {}
    bool shouldRelaunchApplication() override { return false; }
    void willRelaunchApplication() override {}
    void didFinishUpdateCycle(const std::optional<UpdateError>&) override {}
    void willShowUpdate() override {}
};

} // namespace

TEST(UpdateMemoryBound, AGigabyteFeedStaysUnderTheBoundInTheUpdaterAndThePreflight)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer keeps freed memory in its quarantine (64 MB in the test services), as large as the
    // bound itself; the plain build measures this.
    GTEST_SKIP() << "resident memory under AddressSanitizer includes its quarantine";
#endif
    QTemporaryDir work;
    LoopbackProductService service(work.path());
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    QUrl behave = service.url(u"/__behave"_s);
    behave.setQuery(QUrlQuery{{u"path"_s, u"/appcast.xml"_s}, {u"status"_s, u"200"_s}, {u"length"_s, QString::number(qint64(1) << 30)},
                              {u"body"_s, u"<rss><channel><item><enclosure sparkle:version=\"9\" "_s}});
    HTTPRequest configure;
    configure.url = behave;
    configure.method = "POST";
    NetworkURLSession plain;
    ASSERT_EQ(await(plain.data(configure)).response.value_or(HTTPResponse{}).statusCode, 204);

    const qint64 before = statusKiB("VmRSS");
    ASSERT_GT(before, 0);
    ASSERT_TRUE(resetPeak());

    NoDelegate delegate;
    SoftwareUpdater::Configuration configuration; // the updater's own feed session
    configuration.feedURL = service.url(u"/appcast.xml"_s);
    configuration.currentVersion = u"1"_s;
    configuration.defaults = std::make_shared<QSettings>(work.filePath(u"defaults.ini"_s), QSettings::IniFormat);
    configuration.transport.allowsHTTP = true;
    configuration.downloadDirectory = work.filePath(u"downloads"_s);
    SoftwareUpdater updater(std::move(configuration), delegate);
    const auto error = await(updater.runUpdateCycle(false));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, UpdateError::Kind::feedUnreachable) << error->description.toStdString();

    const auto preflight = SoftwareUpdateFeedPreflight::makeDefault(service.url(u"/appcast.xml"_s));
    EXPECT_EQ(await(preflight->checkFeed()),
              SoftwareUpdateFeedPreflightResult::unavailable(SoftwareUpdateFeedPreflight::invalidAppcastMessage()));

    const qint64 growthKiB = statusKiB("VmHWM") - before;
    EXPECT_LT(growthKiB, 64 * 1024) << "peak grew by " << growthKiB << " KiB";
}
