#include "gui/main/mainwindow.h"
#include "gui/shell/application.h"

#include "core/base/localpath.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// --version and --help are answered before the window system is touched,
// so they work on a console without a display (packaging checks, ssh).
bool answeredWithoutWindows(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tunebase %s\n", TUNEBASE_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: tunebase [COLLECTION.tbx]\n\n"
                        "Brimlow Tunebase catalogues your MP3 files. Without a file it opens\n"
                        "the collection it had open last.\n\n"
                        "  -h, --help   show this text\n"
                        "  --version    show the version\n\n"
                        "The command line of the same program: tunebase-cli --help\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredWithoutWindows(argc, argv))
        return 0;
    SetApplicationIdentity();
    QApplication app(argc, argv);
    return RunTunebase(app, ArgumentsFromLocalBytes(argc, argv), [](TMp3Prefs &prefs, TUpdateService &updates) {
        return std::make_unique<TfmMain>(prefs, updates);
    });
}
