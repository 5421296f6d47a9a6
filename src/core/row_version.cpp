#include "core/row_version.h"

#include "core/dataset.h"
#include "core/db_error.h"

QString rowVersionColumn(const QString &alias) {
    return alias + ".xmin::text as row_version";
}

qint64 rowVersion(const Dataset &list) {
    return list.isEmpty() ? 0 : list.text("row_version").toLongLong();
}

QString sameRowVersion(qint64 version) {
    // xid has no order and no cast from numbers: compared as text.
    return QString(" and xmin::text='%1'").arg(version);
}

void requireRowWritten(int rowsWritten) {
    if (rowsWritten != 1)
        throw DbError(kStaleRowMessage);
}
