#include "core/formatting.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString sqlDate(const QDate &date) {
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString shortestNumber(double value, QChar separator) {
    // 15 significant digits, laid out without an exponent and without trailing zeros.
    const QString e = QString::number(value, 'e', 14);
    const bool negative = e.startsWith('-');
    const qsizetype ePos = e.indexOf('e');
    QString digits = e.mid(negative ? 1 : 0, ePos - (negative ? 1 : 0)).remove('.');
    const int exponent = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    if (digits == "0")
        return QStringLiteral("0");
    QString whole, fraction;
    const int pointAt = exponent + 1; // digits before the decimal point
    if (pointAt <= 0) {
        whole = "0";
        fraction = QString(-pointAt, '0') + digits;
    } else if (pointAt >= digits.size()) {
        whole = digits + QString(pointAt - digits.size(), '0');
    } else {
        whole = digits.left(pointAt);
        fraction = digits.mid(pointAt);
    }
    QString s = (negative ? "-" : "") + whole;
    if (!fraction.isEmpty())
        s += separator + fraction;
    return s;
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

std::optional<double> parseDecimal(const QString &text) {
    static const QRegularExpression pattern(R"(^\s*[+-]?(\d+([.,]\d*)?|[.,]\d+)\s*$)");
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().replace(',', '.').toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseWholeNumber(const QString &text) {
    static const QRegularExpression pattern(R"(^\s*[+-]?\d+\s*$)");
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok); // false past the integer range
    if (!ok)
        return std::nullopt;
    return value;
}

QString decimalText(double value, int decimals) {
    // Decimal values that arrive as binary (2.675) round as the decimals they stand for.
    const double nudged = value + std::copysign(std::abs(value) * 1e-13, value);
    QString text = QString::number(nudged, 'f', decimals);
    if (text.startsWith('-') && text.mid(1).remove('0').remove('.').isEmpty())
        text.remove(0, 1);
    return text.replace('.', QLocale().decimalPoint().at(0));
}

QString moneyText(const QVariant &value) {
    if (value.isNull() || !value.isValid())
        return {};
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? decimalText(number, 2) : value.toString();
}

QString coveredDaysText(const QDate &from, const QDate &before) {
    if (!from.isValid() || !before.isValid() || before <= from)
        return QStringLiteral("за 0 дней");
    return QStringLiteral("за ") + sqlDate(from) + QStringLiteral(" - ") + sqlDate(before.addDays(-1));
}

bool isWeekend(const QDate &date) {
    return date.dayOfWeek() >= 6;
}

const QStringList &monthNames() {
    static const QStringList names{"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                   "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    return names;
}

QString productKindName(int naimen) {
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}
