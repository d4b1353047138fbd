// SPDX-License-Identifier: MIT
// The command line of tandor-cli: the command, its port, file and options, and the help texts.
// Pure: arguments in, a parsed command or the reason it is not one out.
#pragma once

#include <QString>
#include <QStringList>

enum class TCliCommand
{
    None, // no command given: only the program's --help makes sense then
    Ports,
    Read,
    Write,
    Verify,
    Store,
    Revert,
};

// How the program ends; scripts rely on these numbers.
enum TCliExit : int
{
    kExitOk = 0,
    kExitDifferences = 1, // verify found a difference, or the unit did not take a written value
    kExitUsage = 2,       // the command line, a file or the port is wrong
    kExitNoAnswer = 3,    // the unit did not answer within the timeout
};

struct TCliArgs
{
    TCliCommand command = TCliCommand::None;
    QString port;       // --port: a port name as the window shows it, or an absolute device path
    QString file;       // write and verify: the settings file; read: -o (empty: standard output)
    bool store = false; // write --store
    double timeoutSeconds = 3; // --timeout: the wait for each answer
    bool help = false;         // --help: print the help of the command (or the program)
};

struct TCliParse
{
    TCliArgs args;
    QString error; // why the command line is refused; empty when it is accepted
};

// The longest --timeout taken: an hour is far beyond any answer and keeps the wait in range.
inline constexpr double kMaxTimeoutSeconds = 3600;

// Parses the arguments after the program name.
TCliParse ParseCliArgs(const QStringList &arguments);

// The command's name on the command line ("read"); empty for None.
QString CliCommandName(TCliCommand command);

// The help text of a command, or of the whole program for None; ends with a line break.
QString CliHelpText(TCliCommand command);
