// SPDX-License-Identifier: MIT
#include "cli/CliArgs.h"

#include <cmath>

namespace {

struct TCommandDef
{
    TCliCommand command;
    const char *name;
    bool takesPort;
    bool takesFile;   // a FILE operand
    bool takesOutput; // -o FILE
    bool takesStore;
    const char *usage;
    const char *help;
};

const TCommandDef kCommands[] = {
    {TCliCommand::Ports, "ports", false, false, false, false, "tandor-cli ports",
     "Lists the serial ports that are present and free, one a line, as the window's port\n"
     "list shows them: the port name, two blanks and a description.\n"},
    {TCliCommand::Read, "read", true, false, true, false,
     "tandor-cli read --port NAME [-o FILE] [--timeout SECONDS]",
     "Connects to the unit as the window does (firmware version, serial number, the sixteen\n"
     "parameters) and writes its parameter set with its firmware version as a settings file,\n"
     "to FILE or to standard output.\n"
     "\n"
     "  -o, --output FILE   write the settings file to FILE\n"},
    {TCliCommand::Write, "write", true, true, false, true,
     "tandor-cli write --port NAME FILE [--store] [--timeout SECONDS]",
     "Reads the settings file FILE as the window loads one, checks every value against the\n"
     "unit's firmware, sends the sixteen values in table order, reads them back and fails\n"
     "(exit 1) when the unit did not take one. Nothing is sent when the file or a value is\n"
     "refused.\n"
     "\n"
     "  --store             then make the unit keep the values (store changes in interface)\n"},
    {TCliCommand::Verify, "verify", true, true, false, false,
     "tandor-cli verify --port NAME FILE [--timeout SECONDS]",
     "Reads the unit and compares its sixteen values with the settings file FILE. Exit 0 when\n"
     "all match; exit 1 with one line per difference on standard output: the parameter's\n"
     "name, the file's value and the unit's value.\n"},
    {TCliCommand::Store, "store", true, false, false, false,
     "tandor-cli store --port NAME [--timeout SECONDS]",
     "Makes the unit keep the values it holds now, so that they survive switching it off.\n"},
    {TCliCommand::Revert, "revert", true, false, false, false,
     "tandor-cli revert --port NAME [--timeout SECONDS]",
     "Makes the unit go back to the values it keeps, dropping every change since the last\n"
     "store.\n"},
};

const TCommandDef *FindCommand(const QString &name)
{
    for (const TCommandDef &def : kCommands) {
        if (name == QLatin1String(def.name))
            return &def;
    }
    return nullptr;
}

const TCommandDef *FindCommand(TCliCommand command)
{
    for (const TCommandDef &def : kCommands) {
        if (def.command == command)
            return &def;
    }
    return nullptr;
}

const char kPortHelp[] =
    "  --port NAME         the port: a name the window shows (ttyUSB0, sim0) or an absolute\n"
    "                      device path (/dev/ttyUSB0)\n"
    "  --timeout SECONDS   how long to wait for each answer of the unit (default 3)\n";

const char kExitHelp[] = "Exit: 0 done, 1 differences found, 2 usage, file or port error, "
                         "3 the unit did not answer.\n";

// Splits "--name=value" into name and value; value is empty and hasValue false otherwise.
void SplitInline(const QString &arg, QString &name, QString &value, bool &hasValue)
{
    const qsizetype eq = arg.startsWith(QLatin1String("--")) ? arg.indexOf(QLatin1Char('=')) : -1;
    hasValue = eq >= 0;
    name = hasValue ? arg.left(eq) : arg;
    value = hasValue ? arg.mid(eq + 1) : QString();
}

} // namespace

QString CliCommandName(TCliCommand command)
{
    const TCommandDef *def = FindCommand(command);
    return def ? QString::fromLatin1(def->name) : QString();
}

QString CliHelpText(TCliCommand command)
{
    const TCommandDef *def = FindCommand(command);
    if (!def) {
        QString text = QStringLiteral(
            "Usage: tandor-cli COMMAND [OPTIONS]\n"
            "Reads, writes, verifies, stores and reverts the parameters of a Tandor interface\n"
            "unit over a serial port.\n"
            "\n"
            "Commands:\n");
        for (const TCommandDef &c : kCommands)
            text += QStringLiteral("  ") + QString::fromLatin1(c.usage) + QLatin1Char('\n');
        text += QStringLiteral("\n'tandor-cli COMMAND --help' describes a command.\n") +
                QString::fromLatin1(kExitHelp);
        return text;
    }
    QString text = QStringLiteral("Usage: ") + QString::fromLatin1(def->usage) +
                   QStringLiteral("\n\n") + QString::fromLatin1(def->help);
    if (def->takesPort)
        text += (def->takesOutput || def->takesStore ? QString() : QStringLiteral("\n")) +
                QString::fromLatin1(kPortHelp);
    text +=
        QStringLiteral("  -h, --help          show this help\n\n") + QString::fromLatin1(kExitHelp);
    return text;
}

TCliParse ParseCliArgs(const QStringList &arguments)
{
    TCliParse result;
    TCliArgs &args = result.args;
    const TCommandDef *def = nullptr;
    bool portSeen = false;
    bool timeoutSeen = false;
    bool outputSeen = false;
    bool optionsEnded = false;
    QStringList operands;

    auto fail = [&](const QString &why) {
        result.error = why;
        return result;
    };

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            if (!def && !optionsEnded) {
                def = FindCommand(arg);
                if (!def)
                    return fail(QStringLiteral("unknown command '%1'").arg(arg));
                args.command = def->command;
            } else {
                operands << arg;
            }
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            if (!def)
                return fail(QStringLiteral("no command given"));
            continue;
        }
        QString name;
        QString value;
        bool hasValue = false;
        SplitInline(arg, name, value, hasValue);

        // Takes the option's value: inline after '=', else the next argument.
        auto takeValue = [&](QString &into) -> bool {
            if (hasValue) {
                into = value;
                return true;
            }
            if (i + 1 >= arguments.size())
                return false;
            into = arguments.at(++i);
            return true;
        };

        const bool isHelp = name == QLatin1String("-h") || name == QLatin1String("--help");
        if (!def && !isHelp)
            return fail(QStringLiteral("the command comes first: tandor-cli COMMAND [OPTIONS]"));
        if (isHelp) {
            if (hasValue)
                return fail(QStringLiteral("option --help takes no value"));
            args.help = true;
        } else if (name == QLatin1String("--port")) {
            if (!def->takesPort)
                return fail(QStringLiteral("option --port does not go with this command"));
            if (portSeen)
                return fail(QStringLiteral("option --port given twice"));
            if (!takeValue(args.port))
                return fail(QStringLiteral("option --port wants a port name"));
            if (args.port.isEmpty())
                return fail(QStringLiteral("option --port wants a port name"));
            portSeen = true;
        } else if (name == QLatin1String("--timeout")) {
            if (!def->takesPort)
                return fail(QStringLiteral("option --timeout does not go with this command"));
            if (timeoutSeen)
                return fail(QStringLiteral("option --timeout given twice"));
            QString text;
            if (!takeValue(text))
                return fail(QStringLiteral("option --timeout wants a number of seconds"));
            bool ok = false;
            const double seconds = text.toDouble(&ok);
            if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxTimeoutSeconds)
                return fail(QStringLiteral("option --timeout wants a number of seconds above 0 "
                                           "and up to %1, not '%2'")
                                .arg(kMaxTimeoutSeconds)
                                .arg(text));
            args.timeoutSeconds = seconds;
            timeoutSeen = true;
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            if (!def->takesOutput)
                return fail(QStringLiteral("option %1 does not go with this command").arg(name));
            if (outputSeen)
                return fail(QStringLiteral("option -o given twice"));
            if (!takeValue(args.file) || args.file.isEmpty())
                return fail(QStringLiteral("option -o wants a file name"));
            outputSeen = true;
        } else if (name == QLatin1String("--store")) {
            if (!def->takesStore)
                return fail(QStringLiteral("option --store does not go with this command"));
            if (hasValue)
                return fail(QStringLiteral("option --store takes no value"));
            args.store = true;
        } else {
            return fail(QStringLiteral("unknown option '%1'").arg(name));
        }
    }

    // Help needs nothing else; the rest of the line is not looked at further.
    if (args.help)
        return result;
    if (!def)
        return fail(QStringLiteral("no command given"));
    if (def->takesFile) {
        if (operands.isEmpty())
            return fail(
                QStringLiteral("%1 wants a settings file").arg(CliCommandName(def->command)));
        args.file = operands.takeFirst();
        if (args.file.isEmpty())
            return fail(
                QStringLiteral("%1 wants a settings file").arg(CliCommandName(def->command)));
    }
    if (!operands.isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'").arg(operands.first()));
    if (def->takesPort && !portSeen)
        return fail(QStringLiteral("%1 wants --port NAME").arg(CliCommandName(def->command)));
    return result;
}
