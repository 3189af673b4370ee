// brewbeacon-cli: scan, status, check and join from a terminal or a script.
#include "CliArguments.h"
#include "CliCommands.h"

#include "BuildInfo.h"
#include "support/Logger.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void write(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QCoro::Task<> runAndQuit(CliCommands& commands, CliArguments arguments)
{
    const CliReport result = co_await commands.run(arguments);
    if (arguments.json)
        write(stdout, QString::fromUtf8(QJsonDocument(result.json).toJson(QJsonDocument::Indented)));
    else
        write(stdout, result.text);
    QCoreApplication::exit(toInt(result.exitCode));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"brewbeacon-cli"_s);

    const auto parsed = CliArguments::parse(QCoreApplication::arguments().mid(1));
    if (const auto* error = std::get_if<QString>(&parsed)) {
        write(stderr, u"brewbeacon-cli: %1\n\n%2"_s.arg(*error, CliArguments::usage()));
        return toInt(CliExitCode::usage);
    }
    const CliArguments arguments = std::get<CliArguments>(parsed);
    if (arguments.command == CliArguments::Command::help) {
        write(stdout, CliArguments::usage());
        return toInt(CliExitCode::success);
    }
    if (arguments.command == CliArguments::Command::version) {
        write(stdout, u"brewbeacon-cli %1\n"_s.arg(QStringLiteral(BREWBEACON_MARKETING_VERSION)));
        return toInt(CliExitCode::success);
    }

    // Errors only, unless asked: the answer on standard output is what a terminal user came for.
    if (arguments.verbose)
        Logger::setMinimumLevel(LogLevel::Debug);
    else if (qEnvironmentVariableIsEmpty("BREWBEACON_LOG_LEVEL"))
        Logger::setMinimumLevel(LogLevel::Error);

    // Progress lines go to a terminal only, never into a script's pipe or the JSON.
    CliCommands::Progress progress;
    if (!arguments.json && isatty(STDERR_FILENO))
        progress = [](const QString& step) { write(stderr, step + u"\n"_s); };
    CliCommands commands(CliCommands::installed(), progress);
    QTimer::singleShot(0, &app, [&] { runAndQuit(commands, arguments); });
    return app.exec();
}
