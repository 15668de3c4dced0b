#pragma once

#include <QDate>
#include <QString>

// Small services the desktop shell needs besides the desktop services
// (message boxes, opening addresses): the program uses real ones, tests
// replace them.

// What to do when the collection could not be saved while closing.
enum class TSaveFailedChoice { Retry, SaveElsewhere, QuitAnyway, Cancel };

// What to do when another program has changed the collection file since it
// was opened or saved: read it again (dropping the changes made here),
// save under another name, save over the other program's changes, or not
// save now.
enum class TChangedFileChoice { Reload, SaveAs, Overwrite, Cancel };

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
