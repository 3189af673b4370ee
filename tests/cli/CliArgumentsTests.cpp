#include "CliArguments.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

CliArguments parsed(const QStringList& arguments)
{
    const auto result = CliArguments::parse(arguments);
    if (const auto* error = std::get_if<QString>(&result))
        ADD_FAILURE() << "unexpected error: " << error->toStdString();
    return std::get_if<CliArguments>(&result) ? std::get<CliArguments>(result) : CliArguments{};
}

QString error(const QStringList& arguments)
{
    const auto result = CliArguments::parse(arguments);
    return std::get_if<QString>(&result) ? std::get<QString>(result) : QString();
}

} // namespace

TEST(CliArguments, CommandsOptionsAndNetworkNames)
{
    EXPECT_EQ(parsed({u"scan"_s}).command, CliArguments::Command::scan);
    const auto json = parsed({u"--json"_s, u"status"_s});
    EXPECT_EQ(json.command, CliArguments::Command::status);
    EXPECT_TRUE(json.json);

    // The name is kept exactly as typed, blanks included, and may start with a dash after "--".
    const auto join = parsed({u"join"_s, u" Cafe Guest "_s, u"--allow-weak"_s});
    EXPECT_EQ(join.ssid, u" Cafe Guest "_s);
    EXPECT_TRUE(join.allowWeakSignal);
    EXPECT_EQ(parsed({u"join"_s, u"--"_s, u"-dash-net"_s}).ssid, u"-dash-net"_s);

    // Help wins wherever it appears, even after a mistake.
    EXPECT_EQ(parsed({u"scan"_s, u"--help"_s}).command, CliArguments::Command::help);
}

TEST(CliArguments, MistakesAreNamed)
{
    EXPECT_EQ(error({}), u"No command given."_s);
    EXPECT_EQ(error({u"scna"_s}), u"Unknown command: scna"_s);
    EXPECT_EQ(error({u"scan"_s, u"--jsn"_s}), u"Unknown option: --jsn"_s);
    EXPECT_EQ(error({u"join"_s}), u"join needs exactly one network name."_s);
    EXPECT_EQ(error({u"join"_s, u"A"_s, u"B"_s}), u"join needs exactly one network name."_s);
    EXPECT_EQ(error({u"join"_s, u"   "_s}), u"The network name is empty."_s);
    EXPECT_EQ(error({u"scan"_s, u"extra"_s}), u"Unexpected argument: extra"_s);
    EXPECT_EQ(error({u"scan"_s, u"--allow-weak"_s}), u"--allow-weak only applies to join."_s);
}
