#pragma once
#include "core/database.h"
#include "reports/engine/report_rows.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVector>

// The rows of a statement read as they come, never all held: a year's report stays small. A read
// that fails midway throws DbError: a report of the rows read so far would look complete.
// Optionally only the rows whose field equals a value (the reports' product kind).
class QueryRows : public ReportRows {
public:
    QueryRows(Database &db, const QString &sql, const SqlParams &params, const QString &onlyField = {},
              const QVariant &onlyValue = {});
    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    Database &db_;
    QSqlQuery query_;
    QStringList fields_;
    QVector<bool> numeric_;
    QVector<QVariant> current_, previous_;
    int only_ = -1;
    QString onlyValue_;
};
