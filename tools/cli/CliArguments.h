#pragma once

#include <QString>
#include <QStringList>
#include <variant>

// One parsed command line of brewbeacon-cli.
struct CliArguments {
    enum class Command { scan, status, check, join, help, version };

    Command command = Command::help;
    QString ssid; // join only, exactly as typed
    bool json = false;
    bool allowWeakSignal = false; // join only
    bool verbose = false; // the assistant's log lines at every level

    // The arguments after the program name; a usage error text when they make no sense.
    static std::variant<CliArguments, QString> parse(const QStringList& arguments);
    static QString usage();
};
