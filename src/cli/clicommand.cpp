#include "cli/clicommand.h"

#include <algorithm>

namespace {

// Every command knows "-h" and "--help"; the parser's own help option would
// also take "-?" and print a help of its making.
const CliOptionSpec helpOption{{QStringLiteral("h"), QStringLiteral("help")}, {}};

const CliOptionSpec *findOption(const CliCommand &command, const QString &name)
{
    if (helpOption.names.contains(name))
        return &helpOption;
    for (const CliOptionSpec &option : command.options)
        if (option.names.contains(name))
            return &option;
    return nullptr;
}

// The parser notes every fault of the arguments at once, by bare option
// name.  The user is told of the first one as typed ("--feild=Artist" is
// "--feild"), so this walks the arguments as the parser did until it meets
// that fault.
QString firstFault(const CliCommand &command, const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--"))
            break;
        if (!arg.startsWith(QLatin1Char('-')) || arg.size() == 1)
            continue;
        const QString typed = arg.section(QLatin1Char('='), 0, 0);
        const QString name = typed.mid(typed.startsWith(QLatin1String("--")) ? 2 : 1);
        const CliOptionSpec *option = findOption(command, name);
        if (!option)
            return QStringLiteral("unknown option '%1'").arg(typed);
        const bool inlineValue = arg.contains(QLatin1Char('='));
        if (option->valueName.isEmpty()) {
            if (inlineValue)
                return QStringLiteral("%1 takes no value").arg(typed);
        } else if (!inlineValue && ++i >= args.size()) {
            return option->missingValue.isEmpty() ? QStringLiteral("%1 needs a value").arg(typed)
                                                  : option->missingValue;
        }
    }
    return QString();
}

void printProgramHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli COMMAND [OPTIONS]\n\n"
        << "The command line of Brimlow Tunebase, over the same core as the desktop program.\n\n"
        << "Commands:\n";
    for (const CliCommand *command : CliCommands())
        out << "  " << command->usage << "\n      " << command->summary << "\n";
    out << "\nRun 'tunebase-cli COMMAND --help' for the options of one command.\n";
}

} // namespace

QString CliCall::value(const QString &name, const QString &fallback) const
{
    return m_parser.isSet(name) ? m_parser.value(name) : fallback;
}

int CliCall::wrongArguments(const QString &complaint) const
{
    err << "tunebase-cli " << m_command.name << ": " << complaint << "\n";
    if (m_command.helpAfterComplaint) {
        err << "\n";
        m_command.printHelp(err);
    }
    return ExitWrongArguments;
}

int CliCall::helpOnError() const
{
    m_command.printHelp(err);
    return ExitWrongArguments;
}

const CliCommand *FindCliCommand(const QString &name)
{
    const auto &commands = CliCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const CliCommand *c) { return name == QLatin1String(c->name); });
    return found == commands.end() ? nullptr : *found;
}

int RunCliCommand(const CliCommand &command, const QStringList &args, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    for (const CliOptionSpec &option : command.options)
        parser.addOption(QCommandLineOption(option.names, QString(), option.valueName));
    parser.addOption(QCommandLineOption(helpOption.names));
    // The parser skips the first argument, the program's name.
    const bool parsed = parser.parse(QStringList{QLatin1String(command.name)} + args);
    const CliCall call(command, parser, out, err);
    if (parser.isSet(helpOption.names.first())) {
        command.printHelp(out);
        return 0;
    }
    if (!parsed) {
        const QString fault = firstFault(command, args);
        return call.wrongArguments(fault.isEmpty() ? parser.errorText() : fault);
    }
    return command.run(call);
}

int RunCli(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString first = args.value(0);
    if (args.isEmpty() || first == QLatin1String("--help") || first == QLatin1String("-h")
        || first == QLatin1String("help")) {
        printProgramHelp(out);
        return args.isEmpty() ? ExitWrongArguments : 0;
    }
    if (first == QLatin1String("--version")) {
        out << "tunebase-cli " << TUNEBASE_VERSION << "\n";
        return 0;
    }
    const CliCommand *command = FindCliCommand(first);
    if (!command) {
        err << "tunebase-cli: unknown command '" << first << "'\n";
        err.flush();
        printProgramHelp(out);
        return ExitWrongArguments;
    }
    out.flush();
    return RunCliCommand(*command, args.mid(1), out, err);
}
