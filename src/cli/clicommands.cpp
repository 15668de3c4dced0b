#include "cli/clicommand.h"

#include <algorithm>

// Each command's description lives beside its code, in cmd_NAME.cpp.
const CliCommand &addCommand();
const CliCommand &dumpCommand();
const CliCommand &duplicatesCommand();
const CliCommand &exportCommand();
const CliCommand &infoCommand();
const CliCommand &listCommand();
const CliCommand &newCommand();
const CliCommand &playlistCommand();
const CliCommand &relinkCommand();
const CliCommand &renameCommand();
const CliCommand &statsCommand();
const CliCommand &tagCommand();

const std::vector<const CliCommand *> &CliCommands()
{
    static const std::vector<const CliCommand *> all = [] {
        std::vector<const CliCommand *> commands{
            &addCommand(),     &dumpCommand(),   &duplicatesCommand(), &exportCommand(),
            &infoCommand(),    &listCommand(),   &newCommand(),        &playlistCommand(),
            &relinkCommand(),  &renameCommand(), &statsCommand(),      &tagCommand()};
        std::sort(commands.begin(), commands.end(),
                  [](const CliCommand *a, const CliCommand *b) { return qstrcmp(a->name, b->name) < 0; });
        return commands;
    }();
    return all;
}
