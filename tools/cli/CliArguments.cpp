#include "CliArguments.h"

using namespace Qt::StringLiterals;

std::variant<CliArguments, QString> CliArguments::parse(const QStringList& arguments)
{
    CliArguments parsed;
    QStringList positional;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-"_s) {
            positional.append(argument);
        } else if (argument == u"--"_s) {
            optionsEnded = true; // lets a network name start with a dash
        } else if (argument == u"--json"_s) {
            parsed.json = true;
        } else if (argument == u"-v"_s || argument == u"--verbose"_s) {
            parsed.verbose = true;
        } else if (argument == u"--allow-weak"_s) {
            parsed.allowWeakSignal = true;
        } else if (argument == u"-h"_s || argument == u"--help"_s) {
            parsed.command = Command::help;
            return parsed;
        } else if (argument == u"--version"_s) {
            parsed.command = Command::version;
            return parsed;
        } else {
            return u"Unknown option: %1"_s.arg(argument);
        }
    }

    if (positional.isEmpty())
        return u"No command given."_s;
    const QString command = positional.takeFirst();
    if (command == u"scan"_s)
        parsed.command = Command::scan;
    else if (command == u"status"_s)
        parsed.command = Command::status;
    else if (command == u"check"_s)
        parsed.command = Command::check;
    else if (command == u"join"_s)
        parsed.command = Command::join;
    else if (command == u"help"_s)
        return CliArguments{};
    else
        return u"Unknown command: %1"_s.arg(command);

    if (parsed.command == Command::join) {
        if (positional.size() != 1)
            return u"join needs exactly one network name."_s;
        parsed.ssid = positional.first();
        if (parsed.ssid.trimmed().isEmpty())
            return u"The network name is empty."_s;
    } else if (!positional.isEmpty()) {
        return u"Unexpected argument: %1"_s.arg(positional.first());
    }
    if (parsed.allowWeakSignal && parsed.command != Command::join)
        return u"--allow-weak only applies to join."_s;
    return parsed;
}

QString CliArguments::usage()
{
    return uR"(Usage: brewbeacon-cli <command> [--json] [--verbose]

Commands:
  scan              List nearby networks, best first.
  status            Show the Wi-Fi interface and the joined network.
  check             Check the path and the detection page, and grade the connection.
  join SSID         Join an open network by its exact name (use -- before a name starting with "-").
                    --allow-weak joins even when the signal is weak.

Options:
  --json            Print one JSON object instead of text.
  -v, --verbose     Log every step (to the journal, or to standard error without one).
  --version         Print the version.
  -h, --help        Print this help.

Exit status:
  0 success, 1 failure or no internet, 2 usage error, 3 captive portal needs sign-in,
  4 network refused (password, enterprise or weak signal), 5 network not found,
  6 Wi-Fi unavailable (no device, radio off or device not managed).
)"_s;
}
