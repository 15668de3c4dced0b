#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

// Small services the desktop shell needs from its surroundings.  The program
// uses widget-based implementations; tests replace them with scripted ones.

enum class TAnswer { Yes, No, Cancel };

// What to do when the collection could not be saved while closing.
enum class TSaveFailedChoice { Retry, SaveElsewhere, QuitAnyway, Cancel };

// Message boxes; their caption is the application title.
class TMessageService {
public:
    virtual ~TMessageService() = default;
    virtual void ShowInfo(const QString &text) = 0;
    virtual void ShowError(const QString &text) = 0;
    virtual bool AskYesNo(const QString &text) = 0;
    virtual TAnswer AskYesNoCancel(const QString &text) = 0;
    virtual TSaveFailedChoice AskSaveFailed(const QString &text) = 0;
};

// Hands documents, folders and web or mail addresses to the desktop.
class TDesktopLauncher {
public:
    virtual ~TDesktopLauncher() = default;
    virtual bool OpenUrl(const QUrl &url) = 0;
};

// Answers whether the machine is online.
class TInternetConnection {
public:
    virtual ~TInternetConnection() = default;
    virtual bool IsOnline() = 0;
};

// Today's date, replaceable so date rules can be tested.
class TClock {
public:
    virtual ~TClock() = default;
    virtual QDate Today() const = 0;
};

class TSystemClock : public TClock {
public:
    QDate Today() const override { return QDate::currentDate(); }
};
