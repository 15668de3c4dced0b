#pragma once

// How the Preferences window shows the update interval: the radio items
// "Always", "Once a week", "Once a month", "Never" stand for 0, 7, 30 and -1
// days.  Any other stored value shows as "Once a week".
namespace prefsmapping {

inline int UpdateChoiceFromDays(int days)
{
    switch (days) {
    case 0: return 0;
    case 30: return 2;
    case -1: return 3;
    default: return 1;
    }
}

inline int DaysFromUpdateChoice(int choice)
{
    switch (choice) {
    case 0: return 0;
    case 2: return 30;
    case 3: return -1;
    default: return 7;
    }
}

} // namespace prefsmapping
