#pragma once
// The report engine by job: a layout (report_layout.h) and its rows (report_rows.h; a statement's
// rows in query_rows.h) are prepared once into pages (report_preparation.h, prepared_report.h),
// which are painted on screen (report_painting.h) and on paper or into a PDF (report_output.h).
#include "reports/engine/prepared_report.h"
#include "reports/engine/report_layout.h"
#include "reports/engine/report_output.h"
#include "reports/engine/report_painting.h"
#include "reports/engine/report_preparation.h"
#include "reports/engine/report_rows.h"
