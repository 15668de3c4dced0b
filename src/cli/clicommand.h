#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

// Exit code of a command whose arguments are wrong.
inline constexpr int ExitWrongArguments = 2;

// One option of a command.  names without dashes: {"o", "output"} is given
// as "-o" or "--output"; valueName empty for a flag.
struct CliOptionSpec {
    QStringList names;
    QString valueName;
    // The complaint when the value is missing; empty: "--NAME needs a value".
    QString missingValue = {};
};

class CliCall;

// A subcommand of tunebase-cli: its options, its help and what it does once
// the options are read.  The commands are listed in clicommands.cpp.
struct CliCommand {
    const char *name;
    const char *usage;    // one line: "info [--json] PATH..."
    const char *summary;  // one line of help
    QList<CliOptionSpec> options;
    void (*printHelp)(QTextStream &out);
    int (*run)(const CliCall &call);
    // Complaints about the arguments are followed by the whole help.
    bool helpAfterComplaint = false;
};

// What a command's run gets: its options, read, and where to print.
class CliCall {
public:
    CliCall(const CliCommand &command, const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
        : out(out), err(err), m_command(command), m_parser(parser)
    {
    }

    QTextStream &out;
    QTextStream &err;

    // name without dashes: "field".
    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    // The last value given for the option, or fallback.
    QString value(const QString &name, const QString &fallback = QString()) const;
    // Every value given for the option, in order.
    QStringList values(const QString &name) const { return m_parser.values(name); }
    QStringList positional() const { return m_parser.positionalArguments(); }

    // "tunebase-cli NAME: complaint" on the error output (with the help after
    // it for commands that want it); returns ExitWrongArguments.
    int wrongArguments(const QString &complaint) const;
    // The help on the error output, for arguments too wrong to name one fault.
    int helpOnError() const;

private:
    const CliCommand &m_command;
    const QCommandLineParser &m_parser;
};

// Every command, by name.
const std::vector<const CliCommand *> &CliCommands();
const CliCommand *FindCliCommand(const QString &name);

// Reads the arguments that follow the command's name and runs it: its help
// for --help or -h, a complaint and ExitWrongArguments for options it does
// not know or that lack their value, else what the command returns.
int RunCliCommand(const CliCommand &command, const QStringList &args, QTextStream &out, QTextStream &err);

// The whole of tunebase-cli: args without the program's name.
int RunCli(const QStringList &args, QTextStream &out, QTextStream &err);
