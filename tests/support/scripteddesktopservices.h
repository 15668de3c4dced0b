#pragma once

#include "core/base/desktopservices.h"

#include <QStringList>
#include <QUrl>

#include <optional>

// Desktop services for tests: questions are answered from a script (No when
// it runs out), every message and opened address is recorded.
class ScriptedDesktopServices : public TDesktopServices {
public:
    ScriptedDesktopServices() { SetDesktopServices(this); }
    ~ScriptedDesktopServices() override { SetDesktopServices(nullptr); }

    bool RunProgram(const QString &file, const QString &, const QString &, TShowMode) override
    {
        opened << file;
        return true;
    }
    bool HasProgramFor(const QString &, QString *reason) override
    {
        if (!noProgramReason)
            return true;
        if (reason)
            *reason = *noProgramReason;
        return false;
    }
    bool BrowseForFolder(const QString &, const QString &, QString &, QObject *) override { return false; }
    void ShowInfo(const QString &text) override { messages << text; }
    void ShowError(const QString &text) override { messages << text; }
    TAnswer AskYesNo(const QString &text) override
    {
        messages << text;
        return next();
    }
    TAnswer AskYesNoCancel(const QString &text) override
    {
        messages << text;
        return next();
    }
    void SetBusyCursor() override { ++busy; }
    void ResetCursor() override { --busy; }

    QList<TAnswer> answers;
    QStringList messages;
    QStringList opened;
    // Set: the desktop has no program for any file, for this reason.
    std::optional<QString> noProgramReason;
    int busy = 0;

private:
    TAnswer next() { return answers.isEmpty() ? TAnswer::No : answers.takeFirst(); }
};
