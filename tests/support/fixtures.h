#pragma once
// Small workshops for tests: each helper inserts one row through the program's connection and
// returns its id.
#include <QDate>
#include <QVariant>

class Database;

namespace fixtures {

QVariant scalar(const QString &sql, const QList<QPair<QString, QVariant>> &params = {});
void exec(const QString &sql);
// The server process of a connection, and its end from the test's own connection, as a dropped
// link or an administrator would end it: the connection learns of it at its next statement.
qint64 serverProcessOf(Database &connection);
void endServerProcess(qint64 backend);

int worker(const QString &fio, const QString &position = QStringLiteral("Сборщик"));
// Groups and products live in the shared schemas: their ids may pass 32 bits.
qint64 group(const QString &caption);
qint64 product(const QString &mark, qint64 groupId = 0);
int operationType(const QString &name);
// A price-list row with one norm of the given price.
int priceRow(qint64 productId, int typeId, int kind, double price);
struct Record {
    int worker;
    int priceRow;
    QDate date;
    int shift = 1;
    int quantity = 10;
    int defects = 0;
    int hours = 8;
    QString ok = "no";
    int color = 0;
    double price = 10;
};
int record(const Record &r);

// A household (7777) or average-piece (7778) entry; month and year follow the date.
struct Entry {
    qint64 worker;
    qint64 group = 1;
    int type = 7777;
    QDate date;
    int hours = 2;
    double price = 100;
    int night = 0;
    int holiday = 0;
};
int entry(const Entry &e);

// The day cell of a worker's shift row: null when the row or the cell is empty.
QVariant dayCell(int worker, int shift, const QDate &date);

} // namespace fixtures
