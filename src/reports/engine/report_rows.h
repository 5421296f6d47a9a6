#pragma once
// What a report is prepared from: its rows, walked once. The rows of an open dataset are here; a
// statement's rows read as they come are in query_rows.h, the only part of the engine that reads
// the database.
#include <QString>
#include <QStringList>
#include <QVariant>

class Dataset;

// A column of this type is summed and shown as a number.
bool isNumericType(int metaType);

// A row's field against the one value a report keeps: as numbers when both are ("1" and "1.0").
bool sameValue(const QString &value, const QString &wanted);

// Where name is among a row source's fields, its letters' case aside; -1 when it is not.
int fieldIndexIn(const QStringList &fields, const QString &name);

// The rows a report is prepared from, walked once: the current row and the one before it (a group
// footer shows the last row of its group) are all that is held.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    // Moves on; the row left becomes the previous one. False after the last row.
    virtual bool next() = 0;
    virtual int fieldIndex(const QString &name) const = 0;
    virtual int fieldCount() const = 0;
    virtual bool numeric(int column) const = 0;
    virtual QVariant current(int column) const = 0;
    virtual QVariant previous(int column) const = 0;
};

// The rows of an open dataset, as its filter shows them.
class DatasetRows : public ReportRows {
public:
    explicit DatasetRows(Dataset &rows) : rows_(rows) {}
    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    Dataset &rows_;
    int at_ = -1;
};
