#pragma once
// TForm15, the printed monthly timesheet: every worker's day hours of a month (shift and household
// rows together) on landscape pages, the day numbers repeated at the top of each page.
#include "reports/engine/report_layout.h"

#include <QStringList>

namespace TForm15 {
// The query H_Tabel, parameters mnth and yea.
QStringList sql();
// The layout with its title label set ("Март 2024 г.").
ReportLayout layout(const QString &title = QStringLiteral("Данные за:"));
} // namespace TForm15
