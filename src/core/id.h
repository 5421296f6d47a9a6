#pragma once
// Ids of the shared schemas are numeric(15,0): they travel as 64-bit integers from the dataset to
// the statement, never through int or double.
#include <QString>
#include <QVariant>
#include <QtGlobal>

using Id = qint64;

// An id as read from the database: exact numerics arrive as text ("3000000001"), other columns as
// numbers. Null, empty or not a whole number gives 0.
Id toId(const QVariant &value);
