#pragma once
// Report rows held in memory, as a statement gives them (texts as read, numeric columns marked), so
// that the report engine is tried without a database.
#include "reports/engine/report_rows.h"

#include <QStringList>
#include <QVector>
#include <functional>

class MemoryRows : public ReportRows {
public:
    // columns: the field names; a name ending in '#' is a numeric column (the '#' is not part of it).
    MemoryRows(const QStringList &columns, QVector<QVariantList> rows);
    // count rows, row n (1-based) made by make.
    static MemoryRows numbered(const QStringList &columns, int count,
                               const std::function<QVariantList(int n)> &make);

    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    QStringList fields_;
    QVector<bool> numeric_;
    QVector<QVariantList> rows_;
    int at_ = -1;
};
