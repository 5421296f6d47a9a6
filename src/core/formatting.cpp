#include "core/formatting.h"

#include <QApplication>
#include <QLocale>

QString sqlDate(const QDate &date) {
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString shortestNumber(double value, QChar separator) {
    // Keep at most 15 significant digits, then drop trailing zeros.
    QString s = QString::number(QString::number(value, 'g', 15).toDouble(), 'f', 15);
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.'))
            s.chop(1);
    }
    if (s == "-0")
        s = "0";
    return s.replace('.', separator);
}

static QString trimmedDecimal(QString s) {
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.'))
            s.chop(1);
    }
    return s.replace('.', QLocale().decimalPoint().at(0));
}

QString displayText(const QVariant &value, int fieldType) {
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return sqlDate(value.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return sqlDate(dt.date());
        return sqlDate(dt.date()) + ' ' + dt.time().toString("HH:mm:ss");
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return shortestNumber(value.toDouble(), QLocale().decimalPoint().at(0));
    case QMetaType::QString:
        // Exact numbers arrive as text; show them like other numbers.
        if (fieldType == QMetaType::Double)
            return trimmedDecimal(value.toString());
        return value.toString();
    default:
        return value.toString();
    }
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}
