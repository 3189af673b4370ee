// The page script on a large portal page: about 2,000 elements (a long terms text, navigation, a
// footer full of links and a form of visible and hidden fields). The figure is the time the script
// spends inside the page, taken by the page's own clock around the run; an empty script measured the
// same way is the reference, so what remains is the script's own cost. The script's size is reported
// as a counter.
#include "portal/PortalAutofillProfile.h"
#include "portal/PortalAutofillScript.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <benchmark/benchmark.h>
#include <memory>
#include <optional>

namespace {

QString largePortalPage()
{
    QString html = QStringLiteral("<!doctype html><html><head><meta charset=utf-8><title>Guest Wi-Fi</title></head><body>");
    html += QStringLiteral("<nav>");
    for (int i = 0; i < 300; ++i)
        html += QStringLiteral("<a href=\"/n%1\">Section %1</a>").arg(i);
    html += QStringLiteral("</nav><main><h1>Welcome to the guest network</h1>");
    for (int i = 0; i < 600; ++i)
        html += QStringLiteral("<p>Clause %1 of the terms of use: be kind to other guests.</p>").arg(i);
    html += QStringLiteral("<form action=\"/login\" method=post>");
    html += QStringLiteral("<label for=n>Full name</label><input id=n name=name required>");
    html += QStringLiteral("<label for=e>Email</label><input id=e type=email name=email required>");
    html += QStringLiteral("<label for=z>Postal code</label><input id=z name=zip>");
    html += QStringLiteral("<label for=y>Year of birth</label><input id=y name=birth_year>");
    for (int i = 0; i < 200; ++i)
        html += QStringLiteral("<div class=row><span>Option %1</span><input type=hidden name=h%1 value=x></div>").arg(i);
    html += QStringLiteral("<label><input type=checkbox name=terms required> I accept the terms</label>");
    html += QStringLiteral("<button type=submit>Connect</button></form></main><footer>");
    for (int i = 0; i < 300; ++i)
        html += QStringLiteral("<a href=\"/f%1\">Link %1</a>").arg(i);
    html += QStringLiteral("</footer></body></html>");
    return html;
}

std::optional<QVariant> runAndWait(QWebEnginePage& page, const QString& script)
{
    std::optional<QVariant> result;
    QEventLoop loop;
    page.runJavaScript(script, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

struct LoadedPage {
    QWebEngineProfile profile; // off the record: nothing written to disk
    QWebEnginePage page{&profile};
    bool loaded = false;

    LoadedPage()
    {
        QEventLoop loop;
        QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
            loaded = ok;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        page.setHtml(largePortalPage(), QUrl(QStringLiteral("http://portal.invalid/")));
        loop.exec();
    }
};

// Runs `script` inside the page between two readings of the page's clock and returns the milliseconds.
std::optional<double> timedInPage(QWebEnginePage& page, const QString& script)
{
    const QString wrapped = QStringLiteral("(() => { const t0 = performance.now(); %1\n; return performance.now() - t0; })()").arg(script);
    const auto value = runAndWait(page, wrapped);
    if (!value || !value->canConvert<double>())
        return std::nullopt;
    return value->toDouble();
}

// Built on first use and deleted before the application object, which the web engine requires.
std::unique_ptr<LoadedPage> sharedPage;

void measure(benchmark::State& state, const QString& script)
{
    if (!sharedPage)
        sharedPage = std::make_unique<LoadedPage>();
    LoadedPage& loaded = *sharedPage;
    if (!loaded.loaded) {
        state.SkipWithError("the benchmark page did not load");
        return;
    }
    const auto elementCount = runAndWait(loaded.page, QStringLiteral("document.getElementsByTagName('*').length"));
    for (auto _ : state) {
        const auto milliseconds = timedInPage(loaded.page, script);
        if (!milliseconds) {
            state.SkipWithError("the script gave no timing");
            return;
        }
        state.SetIterationTime(*milliseconds / 1000.0);
    }
    state.counters["elements"] = elementCount ? elementCount->toDouble() : 0;
    state.counters["script_bytes"] = double(script.toUtf8().size());
}

void pageScript(benchmark::State& state)
{
    const auto profile = PortalAutofillProfile::generatedDefault();
    measure(state, PortalAutofillScript::make(profile, false));
}

void emptyScript(benchmark::State& state)
{
    measure(state, QStringLiteral("void 0"));
}

} // namespace

BENCHMARK(pageScript)->Name("portal_script/large_page")->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(emptyScript)->Name("portal_script/reference_empty_script")->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sharedPage.reset();
    return 0;
}
