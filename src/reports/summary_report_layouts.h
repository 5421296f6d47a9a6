#pragma once
// The four printed period reports of the shift output, each a query and a banded layout:
// TForm16 summary by workers, TForm17 summary by products, TForm20 detailed by workers, TForm21
// detailed by products.
#include "reports/engine/report_layout.h"

#include <QStringList>

struct SummaryReport {
    QString name;        // "TForm16" ...
    QString queryName;   // "t_Report" ...
    QStringList sql;     // the statement's lines
    int parameters = 2;  // data1 ... dataN
    QString titlePrefix; // what the title label starts with
    ReportLayout layout(const QString &title) const;
};

const SummaryReport &TForm16(); // "Отчет по рабочим"
const SummaryReport &TForm17(); // "Отчет по продукции"
const SummaryReport &TForm20(); // "Детальный отчет по рабочим"
const SummaryReport &TForm21(); // "Детальный отчет по продукции"

// The statement of the spreadsheet export by products (mass not rounded).
QStringList summaryExportSql();
