#include "reports/engine/query_rows.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

QueryRows::QueryRows(Database &db, const QString &sql, const SqlParams &params, const QString &onlyField,
                     const QVariant &onlyValue)
    : db_(db), query_(db.run(sql, params)), onlyValue_(onlyValue.toString()) {
    const QSqlRecord rec = query_.record();
    for (int i = 0; i < rec.count(); ++i) {
        fields_ << rec.fieldName(i);
        numeric_ << isNumericType(rec.field(i).metaType().id());
    }
    if (!onlyField.isEmpty())
        only_ = fieldIndex(onlyField);
}

bool QueryRows::next() {
    previous_ = std::move(current_);
    current_.clear();
    while (query_.next()) {
        if (only_ >= 0 && !sameValue(query_.value(only_).toString(), onlyValue_))
            continue;
        current_.resize(fields_.size());
        for (int i = 0; i < fields_.size(); ++i)
            current_[i] = query_.value(i);
        return true;
    }
    db_.checkRead(query_);
    return false;
}
int QueryRows::fieldIndex(const QString &name) const {
    return fieldIndexIn(fields_, name);
}
int QueryRows::fieldCount() const {
    return int(fields_.size());
}
bool QueryRows::numeric(int column) const {
    return numeric_.value(column);
}
QVariant QueryRows::current(int column) const {
    return current_.value(column);
}
QVariant QueryRows::previous(int column) const {
    return previous_.value(column);
}
