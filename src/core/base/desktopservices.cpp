#include "core/base/desktopservices.h"

#include "core/base/anythreadinfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMetaObject>

#include <atomic>

namespace {

class TQuietDesktopServices final : public TDesktopServices {
public:
    bool RunProgram(const QString &file, const QString &, const QString &, TShowMode) override
    {
        qWarning().noquote() << "No desktop to open" << file;
        return false;
    }
    bool BrowseForFolder(const QString &, const QString &, QString &, QObject *) override { return false; }
    void ShowInfo(const QString &text) override { qInfo().noquote() << text; }
    void ShowError(const QString &text) override { qWarning().noquote() << text; }
    TAnswer AskYesNo(const QString &text) override
    {
        qInfo().noquote() << text << "-> No";
        return TAnswer::No;
    }
    TAnswer AskYesNoCancel(const QString &text) override
    {
        qInfo().noquote() << text << "-> Cancel";
        return TAnswer::Cancel;
    }
    void SetBusyCursor() override {}
    void ResetCursor() override {}
};

TQuietDesktopServices quietServices;
// Read from worker threads (ShowInfoFromAnyThread).
std::atomic<TDesktopServices *> installedServices = nullptr;

} // namespace

void SetDesktopServices(TDesktopServices *services)
{
    installedServices = services;
}

TDesktopServices &DesktopServices()
{
    TDesktopServices *services = installedServices;
    return services ? *services : quietServices;
}

bool RunProgram(const QString &file, const QString &parameters, const QString &folder,
                TDesktopServices::TShowMode showMode)
{
    return DesktopServices().RunProgram(file, parameters, folder, showMode);
}

bool BrowseForFolder(const QString &title, const QString &startFolder, QString &folder, QObject *owner)
{
    return DesktopServices().BrowseForFolder(title, startFolder, folder, owner);
}

void ShowInfo(const QString &text)
{
    DesktopServices().ShowInfo(text);
}

void ShowInfoFromAnyThread(const QString &text)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!installedServices || !application) {
        quietServices.ShowInfo(text);
        return;
    }
    QMetaObject::invokeMethod(application, [text] { ShowInfo(text); }, Qt::QueuedConnection);
}

void ShowError(const QString &text)
{
    DesktopServices().ShowError(text);
}

TDesktopServices::TAnswer AskYesNo(const QString &text)
{
    return DesktopServices().AskYesNo(text);
}

TDesktopServices::TAnswer AskYesNoCancel(const QString &text)
{
    return DesktopServices().AskYesNoCancel(text);
}

void SetBusyCursor()
{
    DesktopServices().SetBusyCursor();
}

void ResetCursor()
{
    DesktopServices().ResetCursor();
}
