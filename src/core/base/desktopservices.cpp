#include "core/base/desktopservices.h"

#include <QDebug>

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
TDesktopServices *installedServices = nullptr;

} // namespace

void SetDesktopServices(TDesktopServices *services)
{
    installedServices = services;
}

TDesktopServices &DesktopServices()
{
    return installedServices ? *installedServices : quietServices;
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
