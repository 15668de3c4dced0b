#include "cli/clicommand.h"

#include "core/base/localpath.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brimlow"));
    QCoreApplication::setApplicationName(QStringLiteral("Tunebase"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUNEBASE_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(ArgumentsFromLocalBytes(argc, argv), out, err);
}
