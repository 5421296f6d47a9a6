#pragma once
// How a shift record's piece price follows from the list price, and how prices are rounded,
// shown and written into statements.
#include <QString>
#include <QVector>

// The factors of a record's piece price: 2 on a day off; 1.2 in the third shift, 1.5 in overtime
// (shift 4).
QVector<double> pieceFactors(bool dayOff, int shift);
// The list price with those factors.
double shiftPiecePrice(double listPrice, bool dayOff, int shift);

// Rounded to 4 decimals: x10000 in extended precision, to the nearest integer (ties to even),
// x0.0001.
double round4(double value);

// What a record is paid, as the day's sheet rounds it: good pieces x the price of 4 decimals,
// rounded half away from zero to kopecks, counted in whole units so that no binary fraction
// moves a kopeck ("155.34").
QString recordPayText(qint64 goodPieces, double price4);

// Shortest plain form with the workstation's decimal separator ("12,3457" on a Russian one).
QString priceDisplay(double value);
// Shortest plain form with a point, for statements whatever the locale.
QString priceSql(double value);
