#include "shell/startwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brimlow"));
    QApplication::setApplicationName(QStringLiteral("Tunebase"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brimlow Tunebase"));
    QApplication::setApplicationVersion(QStringLiteral(TUNEBASE_VERSION));

    const QStringList args = app.arguments();
    const QString collection = args.size() > 1 ? args.at(1) : QObject::tr("[New Collection]");
    StartWindow window(collection);
    window.show();
    return app.exec();
}
