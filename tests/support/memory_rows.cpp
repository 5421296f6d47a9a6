#include "support/memory_rows.h"

MemoryRows::MemoryRows(const QStringList &columns, QVector<QVariantList> rows) : rows_(std::move(rows)) {
    for (const QString &c : columns) {
        const bool number = c.endsWith('#');
        fields_ << (number ? c.chopped(1) : c);
        numeric_ << number;
    }
}

MemoryRows MemoryRows::numbered(const QStringList &columns, int count,
                                const std::function<QVariantList(int n)> &make) {
    QVector<QVariantList> rows;
    rows.reserve(count);
    for (int n = 1; n <= count; ++n)
        rows << make(n);
    return MemoryRows(columns, std::move(rows));
}

bool MemoryRows::next() {
    if (at_ >= int(rows_.size()))
        return false;
    ++at_;
    return at_ < int(rows_.size());
}
int MemoryRows::fieldIndex(const QString &name) const {
    return fieldIndexIn(fields_, name);
}
int MemoryRows::fieldCount() const {
    return int(fields_.size());
}
bool MemoryRows::numeric(int column) const {
    return numeric_.value(column);
}
QVariant MemoryRows::current(int column) const {
    return at_ >= 0 && at_ < int(rows_.size()) ? rows_[at_].value(column) : QVariant();
}
QVariant MemoryRows::previous(int column) const {
    return at_ >= 1 && at_ - 1 < int(rows_.size()) ? rows_[at_ - 1].value(column) : QVariant();
}
