#pragma once
// One worker's hours of one day over every shift record and household entry: a day has 24.
#include "core/id.h"

#include <QDate>
#include <QString>

class Database;

// Hours already written for the worker and date, leaving out the record or entry being changed
// (0: none).
int workerDayHours(Database &db, Id worker, const QDate &date, Id exceptRecord, Id exceptEntry);

// True, after telling the user, when the hours to be saved would take the worker's day past 24.
bool refusedPastADay(Database &db, Id worker, const QString &fio, const QDate &date, int hours,
                     Id exceptRecord, Id exceptEntry);
