#include "shift/piece_pricing.h"

#include "core/formatting.h"

#include <QLocale>
#include <cfenv>
#include <cmath>

QVector<double> pieceFactors(bool dayOff, int shift) {
    QVector<double> factors;
    if (dayOff)
        factors << 2;
    if (shift == 3)
        factors << 1.2;
    else if (shift == 4)
        factors << 1.5;
    return factors;
}

double shiftPiecePrice(double listPrice, bool dayOff, int shift) {
    double price = listPrice;
    for (const double f : pieceFactors(dayOff, shift))
        price *= f;
    return price;
}

double round4(double value) {
    const long double scaled = static_cast<long double>(value) * 10000.0L;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double whole = std::nearbyintl(scaled);
    std::fesetround(saved);
    return static_cast<double>(whole * 0.0001L);
}

QString recordPayText(qint64 goodPieces, double price4) {
    const qint64 tenThousandths = std::llround(price4 * 10000.0) * goodPieces;
    const qint64 magnitude = tenThousandths < 0 ? -tenThousandths : tenThousandths;
    const qint64 kopecks = (magnitude + 50) / 100;
    const QString text = QString("%1.%2").arg(kopecks / 100).arg(kopecks % 100, 2, 10, QLatin1Char('0'));
    return tenThousandths < 0 ? '-' + text : text;
}

QString priceDisplay(double value) {
    return shortestNumber(value, QLocale().decimalPoint().at(0));
}

QString priceSql(double value) {
    return shortestNumber(value, QLatin1Char('.'));
}
