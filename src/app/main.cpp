#include "gui/shell/application.h"
#include "gui/shell/mainbase.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    SetApplicationIdentity();
    QApplication app(argc, argv);
    return RunTunebase(app, [](TMp3Prefs &prefs, TUpdateService &updates) {
        return std::make_unique<TfmMainBase>(prefs, updates);
    });
}
