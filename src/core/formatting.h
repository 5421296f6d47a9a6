#pragma once
// How numbers and dates are written into statements and shown to users.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// DD.MM.YYYY, as the statements' to_date calls and day-first literals expect, whatever the locale.
QString sqlDate(const QDate &date);

// A value as a grid shows it: dates day first, numbers in their shortest form with the
// workstation's decimal separator.
// fieldType: the column's type; exact numbers read as text are recognised by it.
QString displayText(const QVariant &value, int fieldType = 0);

// Shortest plain decimal form of a number (up to 15 significant digits, no trailing zeros) with
// the given decimal separator.
QString shortestNumber(double value, QChar separator = QLatin1Char('.'));

// A decimal number as a user types it: digits with one point or comma ("12,5", ".5", "7.");
// nothing else, so a lone separator, letters or "inf" are refused.
std::optional<double> parseDecimal(const QString &text);

// A whole number that fits a database integer; digits only, an optional sign.
std::optional<int> parseWholeNumber(const QString &text);

// Saturday or Sunday.
bool isWeekend(const QDate &date);

// "Январь" ... "Декабрь", as the month lists show them.
const QStringList &monthNames();

// The product kind as users read it: 0 finished goods, anything else blanks.
QString productKindName(int naimen);

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
