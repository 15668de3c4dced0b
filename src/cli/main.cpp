#include "cli/clicommand.h"

#include "core/base/localpath.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

std::vector<CliCommand> &CliCommandRegistry::commands()
{
    static std::vector<CliCommand> all;
    return all;
}

const CliCommand *CliCommandRegistry::find(const QString &name)
{
    for (const CliCommand &c : commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

static void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli COMMAND [OPTIONS]\n\n"
        << "The command line of Brimlow Tunebase, over the same core as the desktop program.\n\n"
        << "Commands:\n";
    auto commands = CliCommandRegistry::commands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return qstrcmp(a.name, b.name) < 0; });
    for (const CliCommand &c : commands)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
    out << "\nRun 'tunebase-cli COMMAND --help' for the options of one command.\n";
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brimlow"));
    QCoreApplication::setApplicationName(QStringLiteral("Tunebase"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUNEBASE_VERSION));

    QStringList args = ArgumentsFromLocalBytes(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
        || args.first() == QLatin1String("help")) {
        printHelp(out);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        out << "tunebase-cli " << TUNEBASE_VERSION << "\n";
        return 0;
    }
    const QString name = args.takeFirst();
    const CliCommand *command = CliCommandRegistry::find(name);
    if (!command) {
        err << "tunebase-cli: unknown command '" << name << "'\n";
        err.flush();
        printHelp(out);
        return 2;
    }
    out.flush();
    return command->run(args);
}
