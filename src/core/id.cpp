#include "core/id.h"

Id toId(const QVariant &value) {
    if (value.isNull())
        return 0;
    QString text = value.toString().trimmed();
    // numeric(15,0) may come back as "12.0" from some drivers.
    const qsizetype point = text.indexOf('.');
    if (point >= 0) {
        for (qsizetype i = point + 1; i < text.size(); ++i)
            if (text.at(i) != '0')
                return 0;
        text.truncate(point);
    }
    bool ok = false;
    const Id id = text.toLongLong(&ok);
    return ok ? id : 0;
}
