#pragma once

// A clock and an internet connection whose answers the test decides, so
// the update check never depends on the real date or network.

#include "core/settings/shellservices.h"

#include <QDate>

class FixedClock : public TClock {
public:
    QDate Today() const override { return today; }
    QDate today{2024, 3, 1};
};

class FixedConnection : public TInternetConnection {
public:
    explicit FixedConnection(bool isOnline = true) : online(isOnline) {}
    bool IsOnline() override
    {
        ++asked;
        return online;
    }
    bool online;
    int asked = 0;
};
