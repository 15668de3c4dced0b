#include "gui/shell/application.h"

#include "gui/settings/updatewindow.h"
#include "gui/shell/apptitle.h"
#include "gui/shell/instanceserver.h"
#include "gui/shell/mainbase.h"
#include "gui/shell/splash.h"
#include "gui/shell/widgetdesktopservices.h"

#include "core/base/legacytext.h"
#include "core/base/localfiles.h"
#include "core/settings/instancechecker.h"
#include "core/settings/prefs.h"
#include "core/settings/shellsequence.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

const QString InstanceName = QStringLiteral("Brimlow Tunebase");

// A Qt older than the one the program was built with: offer the download
// page and end.
bool checkQtRuntime()
{
    if (shellsequence::IsRuntimeSufficient(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)))
        return true;
    const QString text =
        QCoreApplication::translate("TfmMainBase",
                                    "%1 needs version %2 or later of the Qt libraries (this system has %3).\n"
                                    "To run %1 you will need to install a newer Qt\n"
                                    "from your distribution or the Qt website. Do you want to go there now?")
            .arg(QStringLiteral("Tunebase"), QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
    if (QMessageBox::question(nullptr, QStringLiteral("Brimlow Tunebase"), text) == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl(QStringLiteral("https://www.qt.io/download")));
    return false;
}

QString firstFileArgument(const QStringList &arguments)
{
    return arguments.isEmpty() || arguments.first().isEmpty() ? QString()
                                                                : AbsoluteLocalPath(arguments.first());
}

} // namespace

void SetApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brimlow"));
    QCoreApplication::setApplicationName(QStringLiteral("Tunebase"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUNEBASE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tunebase"));
}

int RunTunebase(QApplication &app, const QStringList &arguments, const TMainWindowFactory &createMainWindow)
{
    if (!checkQtRuntime())
        return 1;
    SetApplicationTitle(InstanceName);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tunebase.svg")));

    // A second copy hands its file to the first and ends before it reads or
    // writes any settings or collection.
    TInstanceChecker instance;
    if (!instance.IsFirstInstance(InstanceName)) {
        ActivatePreviousInstance(instance.ServerName(InstanceName), firstFileArgument(arguments));
        return 0;
    }
    TInstanceServer server;
    server.Listen(instance.ServerName(InstanceName));

    TWidgetDesktopServices services;
    SetDesktopServices(&services);
    int status = 0;
    {
        TMp3Prefs prefs;
        prefs.InstallDataSettings();
        SetLegacyTagEncoding(prefs.LegacyTagEncoding);
        TSystemClock clock;
        TNetworkInformationConnection connection;
        TUpdateService updates(prefs, clock, connection);

        auto splash = std::make_unique<TfmSplash>();
        splash->ShowNow();
        std::unique_ptr<TfmMainBase> window = createMainWindow(prefs, updates);
        window->FormCreate(arguments);
        QObject::connect(&server, &TInstanceServer::HandoverReceived, window.get(),
                         [w = window.get()](const THandover &handover) { w->ActivateFromHandover(handover); });
        splash.reset();

        window->LoadSettings();
        window->show();
        status = app.exec();
        window->FormDestroy();
        window.reset();
        // The settings object saves itself as it goes out of scope.
    }
    SetDesktopServices(nullptr);
    return status;
}
