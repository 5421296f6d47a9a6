#include "shift/piece_pricing.h"

#include "core/formatting.h"

#include <QLocale>
#include <cfenv>
#include <cmath>

double shiftPiecePrice(double listPrice, bool dayOff, int shift) {
    double price = listPrice;
    if (dayOff)
        price *= 2;
    if (shift == 3)
        price *= 1.2;
    else if (shift == 4)
        price *= 1.5;
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

QString priceDisplay(double value) {
    return shortestNumber(value, QLocale().decimalPoint().at(0));
}

QString priceSql(double value) {
    return shortestNumber(value, QLatin1Char('.'));
}
