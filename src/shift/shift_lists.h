#pragma once
// The day sheet's four shift lists (shifts 1-3 and overtime) of one date: the records with their
// worker, product, operation and money.
#include <QString>

class TDataModule6;

// The list of shift n: its rows for :data whose mark is not :ok.
QString shiftListSql(int n);
// Gives the data module's shift lists their statements (data and mark still to be set).
void prepareShiftLists(TDataModule6 &dm);
