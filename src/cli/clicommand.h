#pragma once

#include <QStringList>

#include <vector>

// A subcommand of tunebase-cli.  Each command lives in its own source file
// and registers itself with TUNEBASE_CLI_COMMAND, so adding a command never
// touches main.cpp.
struct CliCommand {
    const char *name;
    const char *usage;    // one line: "info [--json] PATH..."
    const char *summary;  // one line of help
    int (*run)(const QStringList &args);  // args after the command name
};

class CliCommandRegistry {
public:
    static std::vector<CliCommand> &commands();
    static const CliCommand *find(const QString &name);

    struct Registrar {
        explicit Registrar(const CliCommand &command) { commands().push_back(command); }
    };
};

#define TUNEBASE_CLI_COMMAND(id, usage, summary, fn) \
    static const CliCommandRegistry::Registrar cliCommandRegistrar_##id({#id, usage, summary, fn})
