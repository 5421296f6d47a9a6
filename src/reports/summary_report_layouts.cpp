#include "reports/summary_report_layouts.h"

namespace {
// A4 portrait, 10 mm margins: 190 mm of width.
constexpr double W = 190;
constexpr double ROW = 5;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kCenter = Qt::AlignCenter;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QColor kTitleBack(0xF4, 0xF4, 0xF4);
const QColor kOuterGroupBack(0xE0, 0xE0, 0xE0);
const QColor kTotalBack(0xEF, 0xEF, 0xEF);
const QColor kReportFooterBack(0xDC, 0xDC, 0xDC);

const QString kKind = "IF(naimen=0,'Готовая продукция','Заготовки')";
const QString kColour = "if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')";

QRectF at(double x, double w, double row = 0) {
    return QRectF(x, row * ROW, w, ROW);
}

ReportItem total(const QString &expression, QRectF mm, double pt, const QString &mask = {}) {
    ReportItem item = field(expression, mm, pt, true, kCenter, mask);
    item.background = kTotalBack;
    return item;
}

// What all four share: the title band, the 2-pixel spacer, the framed report footer and the page
// number at the foot of every page.
ReportLayout common(const QString &name, const QString &title, double titlePt = 10) {
    ReportLayout l;
    l.name = name;
    l.reportHeader.height = 8;
    l.reportHeader.background = kTitleBack;
    l.reportHeader.items << label(title, QRectF(0, 0, W, 8), titlePt, true);
    l.child.height = 0.5;
    l.reportFooter.background = kReportFooterBack;
    l.reportFooter.frame = FrameAll;
    l.pageFooter.height = ROW;
    l.pageFooter.items << field("'Страница ' + STR(PAGENUMBER)", QRectF(W - 40, 0, 40, ROW), 8, false,
                                kRight);
    return l;
}

} // namespace

// The household sums of the worker reports are summed once per worker (and group) over the period
// in WITH parts and joined to the grouped records, instead of a subquery for every output row:
// the same rows and numbers, a year's report in seconds. Piece money is summed from the exact
// unit prices (the price is a double, but stored to 4 decimals): a float sum depends on the order
// of the rows, which the plan may change, and a half-cent could then flip.
const SummaryReport &TForm16() {
    static const SummaryReport r{
        "TForm16",
        "t_Report",
        {"with f as (select id_p, id_nom, sum(cnt*price) filter (where id_o=7777) s7, ",
         "sum(cnt*price) filter (where id_o=7778) s8 from accounts_dep.fatigue ",
         "where d_date<:data4 and d_date>=:data3 group by id_p, id_nom),",
         "w as (select id_p, sum(cnt*price) s78 from accounts_dep.fatigue where d_date<:data6 and "
         "d_date>=:data5 "
         "group by id_p),",
         "a as (select coalesce(sum(cnt*price) filter (where id_o=7777),0)::numeric(10,2) f_sum7_all, ",
         "coalesce(sum(cnt*price) filter (where id_o=7778),0)::numeric(10,2) f_sum8_all from "
         "accounts_dep.fatigue ",
         "where d_date<:data8 and d_date>=:data7)",
         "select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric(10,2) as kolvo,vid_oper.vid, ",
         "sum((kol_vo-brak)*smena.cena::numeric)::numeric(10,2) as summa,izdel.nom, oper.naimen, color,",
         "smena.w_id, izdel.id_nom, coalesce(f.s7,0)::numeric(10,2) f_sum7, coalesce(f.s8,0)::numeric(10,2) "
         "f_sum8, ",
         "coalesce(w.s78,0)::numeric(10,2) f_sum78, a.f_sum7_all, a.f_sum8_all",
         "from accounts_dep.smena join cmn_contractor.person person on w_id=accounts_dep.code_as_id(s_code) ",
         "join accounts_dep.izdel on izdel.id=smena.i_id join accounts_dep.oper on oper.id=smena.o_id ",
         "join accounts_dep.vid_oper on vid_oper.id=oper.vid ",
         "left join f on f.id_p=smena.w_id and f.id_nom=izdel.id_nom left join w on w.id_p=smena.w_id cross "
         "join a",
         "where smena.data<:data2 and smena.data>=:data1",
         "group by fio, izdel.nom, vid_oper.vid, smena.w_id, izdel.id_nom, oper.naimen, color, f.s7, f.s8, "
         "w.s78, ",
         "a.f_sum7_all, a.f_sum8_all", "order by fio, smena.w_id, izdel.nom, izdel.id_nom"},
        8,
        "   Отчет по рабочим за период с ",
    };
    return r;
}

const SummaryReport &TForm17() {
    static const SummaryReport r{
        "TForm17",
        "t_Report",
        {"select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,",
         "izdel.nom, oper.naimen, color,  round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as "
         "mass",
         "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
         "izdel.id=smena.i_id "
         "and vid_oper.id=oper.vid",
         "and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 ",
         "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"},
        2,
        "   Отчет по продукции за период с ",
    };
    return r;
}

QStringList summaryExportSql() {
    QStringList sql = TForm17().sql;
    sql[1] = "izdel.nom, oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass ";
    return sql;
}

const SummaryReport &TForm20() {
    static const SummaryReport r{
        "TForm20",
        "w_Report",
        {"with f as (select id_p, ",
         "sum(cnt*price) filter (where id_o=7777 and i_night=0) f_sum7,",
         "sum(cnt*price) filter (where id_o=7777 and i_night=1) f_sum7_n,",
         "sum(cnt*price) filter (where id_o=7778 and i_night=0) f_sum8,",
         "sum(cnt*price) filter (where id_o=7778 and i_night=1) f_sum8_n,",
         "sum(cnt) filter (where id_o=7777 and i_night=0) f_sum7h,",
         "sum(cnt) filter (where id_o=7777 and i_night=1) f_sum7h_n,",
         "sum(cnt) filter (where id_o=7778 and i_night=0) f_sum8h,",
         "sum(cnt) filter (where id_o=7778 and i_night=1) f_sum8h_n ",
         "from accounts_dep.fatigue where d_date<:data4 and d_date>=:data3 group by id_p)",
         "select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time,",
         "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*",
         "smena.cena::numeric) as summa, color, sum(prize*(kol_vo-brak)*cena/100) as s_prize, w_id,",
         "coalesce(f.f_sum7,0)::numeric(10,2) f_sum7, coalesce(f.f_sum7_n,0)::numeric(10,2) f_sum7_n, "
         "coalesce(f.f_sum8,0)::numeric(10,2) f_sum8, coalesce(f.f_sum8_n,0)::numeric(10,2) f_sum8_n, ",
         "coalesce(f.f_sum7h,0)::numeric(10,2) f_sum7h, coalesce(f.f_sum7h_n,0)::numeric(10,2) f_sum7h_n, "
         "coalesce(f.f_sum8h,0)::numeric(10,2) f_sum8h, coalesce(f.f_sum8h_n,0)::numeric(10,2) f_sum8h_n",
         "from accounts_dep.smena join cmn_contractor.person person on "
         "smena.w_id=accounts_dep.code_as_id(s_code) ",
         "join accounts_dep.izdel on smena.i_id=izdel.id join accounts_dep.oper on smena.o_id=oper.id ",
         "join accounts_dep.vid_oper on oper.vid=vid_oper.id left join f on f.id_p=smena.w_id ",
         "where smena.data<:data2 and smena.data>=:data1 ",
         "group by fio, marka,vid_oper.vid, oper.naimen, color, w_id, f.f_sum7, f.f_sum7_n, f.f_sum8, "
         "f.f_sum8_n, ",
         "f.f_sum7h, f.f_sum7h_n, f.f_sum8h, f.f_sum8h_n ",
         "order by fio, w_id, marka, vid_oper.vid, oper.naimen"},
        4,
        "   Детальный отчет по рабочим за период с ",
    };
    return r;
}

const SummaryReport &TForm21() {
    static const SummaryReport r{
        "TForm21",
        "i_Report",
        {"select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,",
         "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, ",
         "sum((kol_vo-brak)*smena.cena::numeric) as summa, color, "
         "round((izdel.massa*sum(smena.kol_vo))::numeric,2) "
         "as mass ",
         "from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where "
         "smena.o_id=oper.id "
         "and smena.i_id=izdel.id ",
         "and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and ",
         "smena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa ",
         "order by izdel.nom,marka, vid_oper.vid, oper.naimen"},
        2,
        "   Детальный отчет по продукции за период с ",
    };
    return r;
}

ReportLayout SummaryReport::layout(const QString &title) const {
    if (name == "TForm17") {
        // kind | operation | colour | boxes | quantity
        ReportLayout l = common(name, title);
        l.reportHeader.height = 13;
        l.reportHeader.items << label("Коробки", at(130, 30, 1.6), 9, true, kCenter)
                             << label("Количество", at(160, 30, 1.6), 9, true, kCenter);
        ReportGroup nom;
        nom.expression = "nom";
        nom.header.height = 6;
        nom.header.background = kOuterGroupBack;
        nom.header.items << field("nom", QRectF(0, 0, W, 6), 10, true);
        nom.footer.height = ROW;
        nom.footer.items << total("sum(mass)", at(130, 30), 9) << total("sum(kolvo)", at(160, 30), 9);
        l.groups << nom;
        l.detail.height = ROW;
        l.detail.items << field(kKind, at(0, 45)) << field("vid", at(45, 50), 9, false, kCenter)
                       << field(kColour, at(95, 35)) << field("mass", at(130, 30), 9, false, kCenter)
                       << field("kolvo", at(160, 30), 9, false, kCenter);
        l.reportFooter.height = 6;
        l.reportFooter.items << label("Итого:", QRectF(0, 0, 40, 6), 11, true)
                             << field("sum(mass)", QRectF(130, 0, 30, 6), 11, true, kCenter, "#0")
                             << field("sum(kolvo)", QRectF(160, 0, 30, 6), 11, true, kCenter);
        return l;
    }
    if (name == "TForm21") {
        // mark | operation | colour | kind | defects | boxes | quantity | amount
        ReportLayout l = common(name, title, 9);
        l.reportHeader.height = 13;
        l.reportHeader.items << label("Брак", at(115, 15, 1.6), 9, true, kCenter)
                             << label("Коробки", at(130, 20, 1.6), 9, true, kCenter)
                             << label("Кол-во", at(150, 20, 1.6), 9, true, kCenter)
                             << label("Сумма", at(170, 20, 1.6), 9, true, kCenter);
        ReportGroup nom;
        nom.expression = "nom";
        nom.header.height = 6;
        nom.header.background = kOuterGroupBack;
        nom.header.items << field("nom", QRectF(0, 0, W, 6), 10, true);
        nom.footer.height = ROW;
        nom.footer.items << total("sum(brk)", at(115, 15), 9) << total("sum(mass)", at(130, 20), 9, "#0.00")
                         << total("sum(kolvo)", at(150, 20), 9)
                         << total("sum(summa)", at(170, 20), 9, "#0.00");
        l.groups << nom;
        l.detail.height = ROW;
        l.detail.items << field("marka", at(0, 35)) << field("vid", at(35, 35))
                       << field("color", at(70, 15), 9, false, kCenter) << field(kKind, at(85, 30))
                       << field("brk", at(115, 15), 9, false, kCenter)
                       << field("mass", at(130, 20), 9, false, kCenter)
                       << field("kolvo", at(150, 20), 9, false, kCenter)
                       << field("summa", at(170, 20), 9, false, kCenter, "#0.000");
        l.reportFooter.height = 6;
        l.reportFooter.items << label("Итого:", QRectF(0, 0, 40, 6), 11, true)
                             << field("sum(brk)", QRectF(115, 0, 15, 6), 11, true, kCenter)
                             << field("sum(mass)", QRectF(130, 0, 20, 6), 11, true, kCenter)
                             << field("sum(kolvo)", QRectF(150, 0, 20, 6), 11, true, kCenter)
                             << field("sum(summa)", QRectF(170, 0, 20, 6), 11, true, kCenter, "#0.00");
        return l;
    }
    if (name == "TForm16") {
        // kind | operation | colour | quantity | amount | amount without the regional factor
        ReportLayout l = common(name, title);
        // Workers and groups are told apart by id: two of the same name (relatives) print apart.
        ReportGroup worker;
        worker.expression = "t_Report.w_id";
        worker.header.height = 6;
        worker.header.background = kOuterGroupBack;
        worker.header.items << field("fio", QRectF(0, 0, 150, 6), 10, true)
                            << label("Сумма без Р/К", QRectF(160, 0, 30, 6), 9, true, kCenter);
        worker.footer.height = 2 * ROW;
        worker.footer.frame = FrameBottom;
        worker.footer.items << total("sum(summa)", at(130, 30), 9, "#0.00")
                            << total("sum(summa/1.2)", at(160, 30), 9, "#0.00")
                            << total("sum(summa)+ t_Report.f_sum78", at(130, 30, 1), 9, "#0.000")
                            << total("(sum(summa)+f_sum78)/1.2", at(160, 30, 1), 9, "#0.000");
        ReportGroup nom;
        nom.expression = "t_Report.id_nom";
        nom.header.height = 6;
        nom.header.items << field("nom", QRectF(0, 0, W, 6), 10, true);
        nom.footer.height = 2 * ROW;
        nom.footer.items
            << label("Хоз.р.:", at(0, 15), 9, true) << total("f_sum7", at(15, 25), 9, "#0.000")
            << label("Ср. сд.:", at(42, 15), 9, true) << total("f_sum8", at(57, 25), 9, "#0.000")
            << total("sum(kolvo)", at(110, 20), 9) << total("sum(summa)", at(130, 30), 9, "#0.000")
            << total("sum(summa/1.2)", at(160, 30), 9, "#0.000") << label("Итого:", at(0, 15, 1), 9, true)
            << total("sum(summa) + t_Report.f_sum7 + t_Report.f_sum8", at(130, 30, 1), 9, "#0.000")
            << total("(sum(summa) + t_Report.f_sum7+ t_Report.f_sum8)/1.2", at(160, 30, 1), 9, "#0.000");
        l.groups << worker << nom;
        l.detail.height = ROW;
        l.detail.items << field(kKind, at(0, 40)) << field("vid", at(40, 40), 9, false, kCenter)
                       << field(kColour, at(80, 30)) << field("kolvo", at(110, 20), 9, false, kCenter)
                       << field("summa", at(130, 30), 9, false, kCenter, "#0.000");
        l.reportFooter.height = 4 * 6;
        const struct {
            QString caption, amount;
        } lines[] = {{"", "sum(summa)"},
                     {"Хоз.р.:", "f_sum7_all"},
                     {"Ср.сд.:", "f_sum8_all"},
                     {"Итого:", "(sum(summa)+f_sum7_all+f_sum8_all)"}};
        for (int i = 0; i < 4; ++i) {
            const double y = i * 6;
            if (!lines[i].caption.isEmpty())
                l.reportFooter.items << label(lines[i].caption, QRectF(0, y, 40, 6), 11, true);
            const QString perFactor = i == 0 ? "sum(summa/1.2)" : lines[i].amount + "/1.2";
            l.reportFooter.items << field(lines[i].amount, QRectF(120, y, 35, 6), 11, true, kCenter, "#0.00")
                                 << field(perFactor, QRectF(155, y, 35, 6), 11, true, kCenter, "#0.00");
        }
        return l;
    }
    // TForm20: mark | operation | colour | kind | hours | defects | quantity | amount
    ReportLayout l = common(name, title);
    ReportGroup worker;
    worker.expression = "w_id";
    worker.header.height = 6;
    worker.header.background = kOuterGroupBack;
    worker.header.items << field("fio", QRectF(0, 0, 115, 6), 10, true)
                        << label("Часы", QRectF(115, 0, 15, 6), 9, true, kCenter)
                        << label("Брак", QRectF(130, 0, 15, 6), 9, true, kCenter)
                        << label("Количество", QRectF(145, 0, 20, 6), 9, true, kCenter)
                        << label("Сумма", QRectF(165, 0, 25, 6), 9, true, kCenter);
    ReportBand &f = worker.footer;
    f.items << total("sum(brk)", at(130, 15), 9) << total("sum(kolvo)", at(145, 20), 9)
            << total("sum(summa)", at(165, 25), 9, "#0.00");
    f.items << label("Часы", at(110, 20, 1), 8, true, kCenter)
            << label("Сумма с р/к (р.)", at(130, 30, 1), 8, true, kCenter)
            << label("Сумма без р/к (р.)", at(160, 30, 1), 8, true, kCenter);
    const QString amount =
        "sum(summa)+w_Report.f_sum7+w_Report.f_sum7_n + w_Report.f_sum8 + w_Report.f_sum8_n";
    const QString hours = "sum(sum_time)+f_sum7h+f_sum7h_n+f_sum8h+f_sum8h_n";
    const struct {
        QString caption, hours, amount, without, mask;
    } rows[] = {
        {"Хоз. раб. (дн.)", "f_sum7h", "f_sum7", "f_sum7/1.2", "#0.00"},
        {"Хоз. раб. (нч.)", "f_sum7h_n", "f_sum7_n", "f_sum7_n/1.2", "#0.00"},
        {"Ср. сд. (дн.)", "f_sum8h", "f_sum8", "f_sum8/1.2", "#0.00"},
        {"Ср. сд. (нч.)", "f_sum8h_n", "f_sum8_n", "f_sum8_n/1.2", "#0.00"},
        {"Сдел.", "sum(sum_time)", "sum(summa)", "sum(summa)/1.2", "#0.00"},
        {"Итого:", hours, amount, "(" + amount + ")/1.2", "#0.00"},
        // With no hours the price per hour is 0 (the division gives 0), not a failure.
        {"Цена ср. сд. за 1 ч.:", "", "(" + amount + ")/(" + hours + ")",
         "(" + amount + ")/(" + hours + ")/1.2", "#0.00"},
    };
    int line = 2;
    for (const auto &r : rows) {
        f.items << label(r.caption, at(60, 50, line), 9, true);
        if (!r.hours.isEmpty())
            f.items << total(r.hours, at(110, 20, line), 9,
                             r.caption == "Сдел." || r.caption == "Итого:" ? "#0.00" : "");
        f.items << total(r.amount, at(130, 30, line), 9, r.mask)
                << total(r.without, at(160, 30, line), 9, r.mask);
        ++line;
    }
    f.height = line * ROW;
    l.groups << worker;
    l.detail.height = 4.5;
    l.detail.items << field("marka", QRectF(0, 0, 35, 4.5), 8)
                   << field("vid", QRectF(35, 0, 35, 4.5), 8, false, kCenter)
                   << field("color", QRectF(70, 0, 15, 4.5), 8, false, kCenter)
                   << field(kKind, QRectF(85, 0, 30, 4.5), 8)
                   << field("sum_time", QRectF(115, 0, 15, 4.5), 8, false, kCenter)
                   << field("brk", QRectF(130, 0, 15, 4.5), 8, false, kCenter)
                   << field("kolvo", QRectF(145, 0, 20, 4.5), 8, false, kCenter)
                   << field("summa", QRectF(165, 0, 25, 4.5), 8, false, kCenter, "#0.00");
    l.reportFooter.height = 6;
    l.reportFooter.items << label("Итого:", QRectF(0, 0, 40, 6), 11, true)
                         << field("sum(brk)", QRectF(130, 0, 15, 6), 11, true, kCenter)
                         << field("sum(kolvo)", QRectF(145, 0, 20, 6), 11, true, kCenter)
                         << field("sum(summa)", QRectF(165, 0, 25, 6), 11, true, kCenter, "#0.00");
    return l;
}
