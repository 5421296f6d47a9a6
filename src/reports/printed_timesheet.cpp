#include "reports/printed_timesheet.h"

namespace {
// A4 landscape, 10 mm margins: 277 mm of width; the name, 31 days and the total.
constexpr double kName = 55;
constexpr double kDay = 6.5;
constexpr double kTotal = 20;
constexpr double kRow = 5;
} // namespace

QStringList TForm15::sql() {
    return {"select person.s_caption fio,sum(d1) as sd1,sum(d2) as sd2,sum(d3) as sd3,sum(d4) as sd4,",
            "sum(d5) as sd5,sum(d6) as sd6,sum(d7) as sd7,sum(d8) as sd8,sum(d9) as sd9,",
            "sum(d10) as sd10,sum(d11) as sd11,sum(d12) as sd12,sum(d13) as sd13,",
            "sum(d14) as sd14,sum(d15) as sd15,sum(d16) as sd16,sum(d17) as sd17,",
            "sum(d18) as sd18,sum(d19) as sd19,sum(d20) as sd20,sum(d21) as sd21,",
            "sum(d22) as sd22,sum(d23) as sd23,sum(d24) as sd24,sum(d25) as sd25,",
            "sum(d26) as sd26,sum(d27) as sd27,sum(d28) as sd28,sum(d29) as sd29,",
            "sum(d30) as sd30,sum(d31) as sd31 from accounts_dep.h_tabel, cmn_contractor.person person where",
            "h_tabel.w_id=accounts_dep.code_as_id(person.s_code) and month=:mnth and",
            "year=:yea group by fio order by fio"};
}

ReportLayout TForm15::layout(const QString &title) {
    ReportLayout l;
    l.name = "TForm15";
    l.landscape = true;
    l.pageHeader.height = 7;
    l.pageHeader.frame = FrameTop | FrameBottom;
    l.pageHeader.items << label(title, QRectF(0, 0, kName, 7), 10, true);
    QStringList days;
    for (int d = 1; d <= 31; ++d) {
        ReportItem head =
            label(QString::number(d), QRectF(kName + (d - 1) * kDay, 0, kDay, 7), 10, true, Qt::AlignCenter);
        head.frame = FrameLeft | FrameRight;
        l.pageHeader.items << head;
        days << QString("sd%1").arg(d);
    }
    l.pageHeader.items << label("Итого", QRectF(kName + 31 * kDay, 0, kTotal, 7), 10, true, Qt::AlignCenter);
    l.detail.height = kRow;
    l.detail.frame = FrameTop | FrameBottom;
    l.detail.items << field("fio", QRectF(0, 0, kName, kRow), 10);
    for (int d = 1; d <= 31; ++d) {
        ReportItem cell = field(QString("sd%1").arg(d), QRectF(kName + (d - 1) * kDay, 0, kDay, kRow), 9,
                                false, Qt::AlignCenter);
        if (d % 2)
            cell.frame = FrameLeft | FrameRight;
        l.detail.items << cell;
    }
    l.detail.items << field(days.join('+'), QRectF(kName + 31 * kDay, 0, kTotal, kRow), 9, true,
                            Qt::AlignCenter);
    l.pageFooter.height = kRow;
    l.pageFooter.items << field("PAGENUMBER", QRectF(277 - 30, 0, 30, kRow), 10, false,
                                Qt::AlignRight | Qt::AlignVCenter);
    return l;
}
