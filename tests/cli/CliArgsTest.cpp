// SPDX-License-Identifier: MIT
// The command line of tandor-cli: what each command takes, what it refuses and why.
#include "cli/CliArgs.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QStringList Split(const char *line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CliArgs, AcceptedCommandLines)
{
    struct Case
    {
        const char *line;
        TCliCommand command;
        const char *port;
        const char *file;
        bool store;
        double timeout;
        bool help;
    };
    const Case cases[] = {
        {"ports", TCliCommand::Ports, "", "", false, 3, false},
        {"read --port sim0", TCliCommand::Read, "sim0", "", false, 3, false},
        {"read --port=sim0 -o set.tconf", TCliCommand::Read, "sim0", "set.tconf", false, 3, false},
        {"read -o set.tconf --port /dev/ttyUSB0", TCliCommand::Read, "/dev/ttyUSB0", "set.tconf",
         false, 3, false},
        {"read --output=a.tconf --port p", TCliCommand::Read, "p", "a.tconf", false, 3, false},
        {"write --port sim0 a.tconf", TCliCommand::Write, "sim0", "a.tconf", false, 3, false},
        {"write a.tconf --port sim0 --store", TCliCommand::Write, "sim0", "a.tconf", true, 3,
         false},
        {"write --port sim0 -- -odd.tconf", TCliCommand::Write, "sim0", "-odd.tconf", false, 3,
         false},
        {"verify --port sim0 a.tconf --timeout 1", TCliCommand::Verify, "sim0", "a.tconf", false, 1,
         false},
        {"verify --port sim0 a.tconf --timeout=0.25", TCliCommand::Verify, "sim0", "a.tconf", false,
         0.25, false},
        {"store --port ttyUSB0", TCliCommand::Store, "ttyUSB0", "", false, 3, false},
        {"revert --port ttyUSB0 --timeout 3600", TCliCommand::Revert, "ttyUSB0", "", false, 3600,
         false},
        // Help needs nothing else.
        {"--help", TCliCommand::None, "", "", false, 3, true},
        {"-h", TCliCommand::None, "", "", false, 3, true},
        {"write --help", TCliCommand::Write, "", "", false, 3, true},
        {"verify -h --port x", TCliCommand::Verify, "x", "", false, 3, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const TCliParse parsed = ParseCliArgs(Split(c.line));
        EXPECT_EQ(parsed.error.toStdString(), "");
        EXPECT_EQ(parsed.args.command, c.command);
        EXPECT_EQ(parsed.args.port, QString::fromUtf8(c.port));
        EXPECT_EQ(parsed.args.file, QString::fromUtf8(c.file));
        EXPECT_EQ(parsed.args.store, c.store);
        EXPECT_DOUBLE_EQ(parsed.args.timeoutSeconds, c.timeout);
        EXPECT_EQ(parsed.args.help, c.help);
    }
}

TEST(CliArgs, RefusedCommandLinesSayWhy)
{
    struct Case
    {
        const char *line;
        const char *reason; // a piece of the error text
    };
    const Case cases[] = {
        {"", "no command"},
        {"--port sim0 write a.tconf", "the command comes first"},
        {"fetch --port sim0", "unknown command 'fetch'"},
        {"read", "read wants --port"},
        {"store", "store wants --port"},
        {"read --port", "--port wants a port name"},
        {"read --port=", "--port wants a port name"},
        {"read --port a --port b", "--port given twice"},
        {"ports --port sim0", "--port does not go with this command"},
        {"ports --timeout 1", "--timeout does not go with this command"},
        {"write --port sim0", "write wants a settings file"},
        {"verify --port sim0", "verify wants a settings file"},
        {"write --port sim0 a.tconf b.tconf", "unexpected argument 'b.tconf'"},
        {"read --port sim0 a.tconf", "unexpected argument 'a.tconf'"},
        {"store --port sim0 now", "unexpected argument 'now'"},
        {"read --port sim0 -o", "-o wants a file name"},
        {"write --port sim0 -o x a.tconf", "-o does not go with this command"},
        {"read --port sim0 --store", "--store does not go with this command"},
        {"write --port sim0 a.tconf --store=yes", "--store takes no value"},
        {"read --port sim0 --timeout", "--timeout wants a number"},
        {"read --port sim0 --timeout 0", "above 0"},
        {"read --port sim0 --timeout -1", "above 0"},
        {"read --port sim0 --timeout abc", "'abc'"},
        {"read --port sim0 --timeout nan", "'nan'"},
        {"read --port sim0 --timeout inf", "'inf'"},
        {"read --port sim0 --timeout 3601", "'3601'"},
        {"read --port sim0 --timeout 1 --timeout 2", "--timeout given twice"},
        {"read --port sim0 --verbose", "unknown option '--verbose'"},
        {"read --port sim0 --help=1", "--help takes no value"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const TCliParse parsed = ParseCliArgs(Split(c.line));
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.reason)))
            << parsed.error.toStdString();
    }
}

TEST(CliArgs, EveryCommandHasItsOwnHelpAndTheProgramsListsThemAll)
{
    const QString program = CliHelpText(TCliCommand::None);
    for (const TCliCommand command :
         {TCliCommand::Ports, TCliCommand::Read, TCliCommand::Write, TCliCommand::Verify,
          TCliCommand::Store, TCliCommand::Revert}) {
        const QString name = CliCommandName(command);
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(program.contains(QStringLiteral("tandor-cli ") + name));
        const QString help = CliHelpText(command);
        EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: tandor-cli ") + name));
        EXPECT_EQ(help.contains(QStringLiteral("--port NAME")), command != TCliCommand::Ports);
        EXPECT_TRUE(help.contains(QStringLiteral("3 the unit did not answer")));
        EXPECT_TRUE(help.endsWith(QLatin1Char('\n')));
    }
}

} // namespace
