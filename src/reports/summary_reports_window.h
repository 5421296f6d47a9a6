#pragma once
// "Отчеты (8)": the period and product kind of the four printed summary reports, which it prepares
// and previews, and the spreadsheet export of the output by product.
#include "core/dataset.h"
#include "core/roles.h"
#include "reports/engine/report_engine.h"

#include <QDialog>
#include <functional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct SummaryReport;

class TForm18 : public QDialog {
    Q_OBJECT
public:
    explicit TForm18(QWidget *parent = nullptr);

    QGroupBox *RadioGroup1; // "Вид продукции"
    QRadioButton *KindAll, *KindFinished, *KindBlanks;
    QGroupBox *GroupBox1; // "Период отбора"
    QDateEdit *DTPicker1, *DTPicker2;
    QLabel *LabelCovers;  // the days the period covers: "за 01.11.2026 - 30.11.2026"
    QPushButton *Button4; // "Отчет по рабочим"
    QPushButton *Button2; // "Отчет по продукции"
    QPushButton *Button1; // "Детальный отчет по рабочим"
    QPushButton *Button3; // "Детальный отчет по продукции"
    QPushButton *Button6; // "Excel (0 из 0)"
    QPushButton *Button5; // "Выход"

    Dataset t_Report16, t_Report17, w_Report, i_Report, XLS_Rep;

    // The foreman gets only the detailed report by products; the warehouse that one too, for
    // finished goods only.
    void applyRole(Role role);

    // 0 all, 1 finished goods, 2 blanks.
    int kindIndex() const;
    void setKindIndex(int index);

    // Prepares a report for the period and kind as set, without showing it.
    PreparedReport prepare(const SummaryReport &report, Dataset &query);
    // The preparation of a report over the window's period and kind, not yet begun: its rows are
    // read as it goes.
    std::unique_ptr<ReportPreparation> startPreparation(const SummaryReport &report, Dataset &query);
    // The report's statement bound to the period, and the product kind its rows keep.
    struct BoundStatement {
        QString sql;
        SqlParams params;
        QString onlyField;
        QVariant onlyValue;
    };
    BoundStatement boundStatement(const SummaryReport &report, Dataset &query);
    // What the report buttons do: the preview opens on the first page as soon as it is made, and
    // the rest follow while the user reads.
    void runReport(const SummaryReport &report, Dataset &query);
    void Button6Click();

    // Where a prepared report goes; tests look at the pages instead of a preview window.
    static void setPreviewer(std::function<void(const PreparedReport &, const QString &title)> previewer);

private:
    void bindPeriod(Dataset &query, int parameters);
    void applyKind(Dataset &query);
    QString periodTitle(const QString &prefix) const;
    void showCoveredDays();
};
