#pragma once
// Checks of what an editor is about to save that every editor of work shares: the hours of one
// record or entry, and a date in a month that has not begun.
#include <QDate>

// Hours one record or entry may hold: a day has no more.
constexpr int kMostHoursInADay = 24;

// True when the date lies in a later month than today's and the user, asked, does not want it:
// such a date is most often a slip of the calendar.
bool refusedAsLaterMonth(const QDate &date);
