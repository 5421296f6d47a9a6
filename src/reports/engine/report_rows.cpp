#include "reports/engine/report_rows.h"

#include "core/dataset.h"

bool isNumericType(int type) {
    return type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong ||
           type == QMetaType::Short || type == QMetaType::Float || type == QMetaType::UInt ||
           type == QMetaType::ULongLong;
}

bool sameValue(const QString &value, const QString &wanted) {
    bool a = false, b = false;
    const double x = value.toDouble(&a), y = wanted.toDouble(&b);
    return a && b ? x == y : value == wanted;
}

int fieldIndexIn(const QStringList &fields, const QString &name) {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DatasetRows::next() {
    if (at_ + 1 >= rows_.recordCount()) {
        at_ = rows_.recordCount();
        return false;
    }
    ++at_;
    return true;
}
int DatasetRows::fieldIndex(const QString &name) const {
    return rows_.fieldIndex(name);
}
int DatasetRows::fieldCount() const {
    return rows_.fieldCount();
}
bool DatasetRows::numeric(int column) const {
    return isNumericType(rows_.fieldType(column).id());
}
QVariant DatasetRows::current(int column) const {
    return rows_.valueAt(at_, column);
}
QVariant DatasetRows::previous(int column) const {
    return rows_.valueAt(at_ - 1, column);
}
