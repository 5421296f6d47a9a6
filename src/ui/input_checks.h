#pragma once
// Checks of what an editor is about to save that every editor of work shares: the hours of one
// record or entry, and a date in a month that has not begun.
#include <QDate>
#include <QString>
#include <optional>

// Hours one record or entry may hold: a day has no more.
constexpr int kMostHoursInADay = 24;

// Pieces one record may hold, and what one record may be paid: far beyond any day's work, well
// inside what the monthly views and reports can sum (numeric(10,2) per worker and month). A
// record's defects are stored as a small integer.
constexpr qint64 kMostPiecesInARecord = 1000000;
constexpr qint64 kMostDefectsInARecord = 32767;
constexpr double kMostPayOfARecord = 1000000.0;

// A count as typed into a field: digits only (blanks around them allowed), nothing else, so "1,5",
// "-3" and "2.5" are not numbers of pieces or hours. Empty when the text is not one.
std::optional<qint64> parseCount(const QString &text);

// "введено: «1,5»" for a message about a refused field; very long texts are cut.
QString typedText(const QString &text);

// A database error of a sum too big for its column: the month's view cannot be computed.
bool isNumericOverflow(const QString &databaseText);

// True when the date lies in a later month than today's and the user, asked, does not want it:
// such a date is most often a slip of the calendar.
bool refusedAsLaterMonth(const QDate &date);

// The same for a date more than a year before today: most often a slip of the year.
bool refusedAsLongAgo(const QDate &date);

// True when a record of no pieces is not wanted by the user, asked: it pays nothing.
bool refusedAsNoPieces(qint64 pieces);
