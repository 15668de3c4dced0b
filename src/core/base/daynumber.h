#pragma once

#include <QDate>

// Dates as day numbers counted from 30 December 1899, the time of day as
// the fraction: the form dates take in the collection file and the settings.
double DayNumber(const QDate &date);
QDate DateOfDayNumber(double dayNumber);
