#pragma once

#include <QDate>
#include <QString>

// Small services the desktop shell needs besides the desktop services
// (message boxes, opening addresses): the program uses real ones, tests
// replace them.

// What to do when the collection could not be saved while closing.
enum class TSaveFailedChoice { Retry, SaveElsewhere, QuitAnyway, Cancel };

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
