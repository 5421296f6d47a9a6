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

// A number with exactly this many decimals, rounded half away from zero as the decimal it stands
// for (a binary 2.675 gives 2.68), with the workstation's decimal separator.
QString decimalText(double value, int decimals);

// Money as the screens show it: two decimals ("286.20", "93.00"); empty for a null value. Stored
// values and exports keep their own form.
QString moneyText(const QVariant &value);

// The days a period covers whose second date is not included ("с 01.11 по 01.12" is November):
// "за 01.11.2026 - 30.11.2026", or "за 0 дней" when it covers none.
QString coveredDaysText(const QDate &from, const QDate &before);

// Saturday or Sunday.
bool isWeekend(const QDate &date);

// "Январь" ... "Декабрь", as the month lists show them.
const QStringList &monthNames();

// The product kind as users read it: 0 finished goods, anything else blanks.
QString productKindName(int naimen);
