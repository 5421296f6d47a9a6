// The report engine: expressions and masks, bands and groups with their sums, pages with their
// header and footer, a report with no rows, the PDF with real text, and the preview. The rows are
// held in memory: the engine is tried without a database or the rest of the program.
#include "reports/engine/expression.h"
#include "reports/engine/report_engine.h"
#include "reports/engine/report_preview.h"
#include "support/memory_rows.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The messages the engine's errors reach, kept instead of shown.
struct KeptMessages : seams::Messages {
    QStringList shown;
    void error(const QString &text, const QString &) override { shown << text; }
    bool yesNo(const QString &, const QString &) override { return false; }
};
} // namespace

class ReportEngineTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    KeptMessages messages;

    // Rows of a group g, a name and an amount, as the reports' statements give them.
    static MemoryRows groupRows(QVector<QVariantList> rows) {
        return MemoryRows({"g", "name", "amount#"}, std::move(rows));
    }
    // n = 1..count: group G, 'строка n', amount n; or the group that groupOf names.
    static MemoryRows numberedRows(int count, const std::function<QString(int)> &groupOf = {}) {
        return MemoryRows::numbered({"g", "name", "amount#"}, count, [&](int n) {
            return QVariantList{groupOf ? groupOf(n) : QStringLiteral("G"), QString("строка %1").arg(n),
                                QString::number(n)};
        });
    }

    static ReportLayout groupedLayout() {
        ReportLayout l;
        l.name = "test";
        l.reportHeader.height = 8;
        l.reportHeader.items << label("Заголовок", QRectF(0, 0, 190, 8), 10, true);
        l.pageHeader.height = 5;
        l.pageHeader.items << label("Шапка страницы", QRectF(0, 0, 100, 5));
        ReportGroup g;
        g.expression = "q.g";
        g.header.height = 5;
        g.header.items << field("g", QRectF(0, 0, 50, 5), 10, true);
        g.footer.height = 5;
        g.footer.items << field("sum(amount)", QRectF(100, 0, 30, 5), 9, true, Qt::AlignCenter, "#0.00")
                       << field("'последняя: ' + name", QRectF(0, 0, 80, 5));
        l.groups << g;
        l.detail.height = 5;
        l.detail.items << field("name", QRectF(0, 0, 50, 5)) << field("amount", QRectF(100, 0, 30, 5));
        l.reportFooter.height = 6;
        l.reportFooter.frame = FrameAll;
        l.reportFooter.items << label("Итого:", QRectF(0, 0, 40, 6), 11, true)
                             << field("sum(amount)", QRectF(100, 0, 30, 6), 11, true, Qt::AlignCenter,
                                      "#0.00");
        l.pageFooter.height = 5;
        l.pageFooter.items << field("'Страница ' + STR(PAGENUMBER)", QRectF(150, 0, 40, 5));
        return l;
    }
    static PreparedReport prepareOn(MemoryRows rows, const ReportLayout &layout) {
        return prepareReport(layout, rows);
    }
    static QString pdfText(const QString &path) {
        QProcess p;
        p.start("pdftotext", {"-layout", path, "-"});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void initTestCase();
    void expressions_data();
    void expressions();
    void badExpressionIsReported();
    void masks_data();
    void masks();
    void groupsAndSums();
    void pagesRepeatTheirHeader();
    void groupEndingAtThePageBreak();
    void noRows();
    void pdfHoldsTheSamePages();
    void preview();
    void groupHeaderKeepsItsFirstRow();
    void textsFitTheirCells_data();
    void textsFitTheirCells();
    void printsTheChosenPagesAndCopies();
    void reportErrorsShowTheirText();
    void previewWhileThePagesAreMade();
};

void ReportEngineTest::initTestCase() {
    QVERIFY(dir.isValid());
    seams::setMessages(&messages);
}

void ReportEngineTest::expressions_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("result");
    const QString colour = "if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')";
    QTest::newRow("primer") << colour << 1 << " (грунт)";
    QTest::newRow("colour number") << colour << 1013 << " (RAL: 1013)";
    QTest::newRow("no colour") << colour << 0 << " ";
    QTest::newRow("arithmetic and precedence") << "1+2*3-4/2" << 0 << "5";
    QTest::newRow("field with the query's name") << "t_Report.color + 1" << 7 << "8";
    QTest::newRow("upper-case IF, comparison") << "IF(color<>0,'да','нет')" << 0 << "нет";
    QTest::newRow("texts joined") << "'a' + 'b' + STR(2.5)" << 0 << "ab2.5";
    QTest::newRow("division by zero is 0") << "10/color" << 0 << "0";
    QTest::newRow("apostrophe in a text") << "'О''Нил'" << 0 << "О'Нил";
}

void ReportEngineTest::expressions() {
    QFETCH(QString, expression);
    QFETCH(int, color);
    QFETCH(QString, result);
    ReportContext ctx;
    ctx.field = [color](const QString &name) {
        return name == "color" ? ReportValue::of(double(color)) : ReportValue::of(QString("?"));
    };
    QCOMPARE(ReportExpression(expression).evaluate(ctx).toText(), result);
}

void ReportEngineTest::badExpressionIsReported() {
    bool thrown = false;
    try {
        ReportExpression("IF(1,2");
    } catch (const ReportError &e) {
        thrown = e.text.contains("IF(1,2");
    }
    QVERIFY(thrown);
}

void ReportEngineTest::masks_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 20.6 << "#0"
                           << "21";
    QTest::newRow("half up, not to even") << 1234.5 << "#0"
                                          << "1235";
    QTest::newRow("two decimals of a binary 2.675") << 2.675 << "#0.00"
                                                    << "2.68";
    QTest::newRow("money divided by 1.2") << 147.75 / 1.2 << "#0.00"
                                          << "123.13";
    QTest::newRow("three decimals") << 3.0 << "#0.000"
                                    << "3.000";
    QTest::newRow("optional third decimal unused") << 2.5 << "#0.00#"
                                                   << "2.50";
    QTest::newRow("optional third decimal used") << 2.505 << "#0.00#"
                                                 << "2.505";
    QTest::newRow("no negative zero") << -0.001 << "#0.00"
                                      << "0.00";
    QTest::newRow("unmasked") << 7.0 << ""
                              << "7";
}

void ReportEngineTest::masks() {
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QCOMPARE(formatReportNumber(value, mask), text);
}

void ReportEngineTest::groupsAndSums() {
    const PreparedReport r =
        prepareOn(groupRows({{"A", "x", "1.5"}, {"A", "y", "2.5"}, {"B", "z", "4"}}), groupedLayout());
    QCOMPARE(r.pageCount(), 1);
    // Each group's footer sums its own rows and shows its last row; the report footer sums all.
    QCOMPARE(r.texts(0),
             (QStringList{"Шапка страницы", "Заголовок", "A", "x", "1.5", "y", "2.5", "4.00", "последняя: y",
                          "B", "z", "4", "4.00", "последняя: z", "Итого:", "8.00", "Страница 1"}));
}

void ReportEngineTest::pagesRepeatTheirHeader() {
    const PreparedReport r = prepareOn(numberedRows(120), groupedLayout());
    // 297 - 20 mm of margins, less the page footer and header: 51 rows a page.
    QCOMPARE(r.pageCount(), 3);
    for (int p = 0; p < 3; ++p) {
        const QStringList texts = r.texts(p);
        QCOMPARE(texts.first(), "Шапка страницы");
        QCOMPARE(texts.last(), QString("Страница %1").arg(p + 1));
        for (int i = 0; i < r.pages[p].size(); ++i)
            QVERIFY(r.item(p, i).mm.bottom() <= 297 - 10 + 0.001);
    }
    QVERIFY(r.texts(2).contains("7260.00")); // 1 + ... + 120
}

void ReportEngineTest::groupEndingAtThePageBreak() {
    // Page header 10..15, title 15..22, group header 22..27, then 50 rows and the footer end
    // exactly at 282, where the page footer begins: the next group starts a new page.
    ReportLayout layout = groupedLayout();
    layout.reportHeader.height = 7;
    const PreparedReport r =
        prepareOn(numberedRows(51, [](int n) { return QString(n <= 50 ? "A" : "B"); }), layout);
    QCOMPARE(r.pageCount(), 2);
    const QStringList first = r.texts(0), second = r.texts(1);
    QCOMPARE(first.mid(first.size() - 3), (QStringList{"1275.00", "последняя: строка 50", "Страница 1"}));
    QCOMPARE(second.mid(0, 3), (QStringList{"Шапка страницы", "B", "строка 51"}));
    QCOMPARE(second.mid(second.size() - 5),
             (QStringList{"51.00", "последняя: строка 51", "Итого:", "1326.00", "Страница 2"}));
}

void ReportEngineTest::noRows() {
    const PreparedReport r = prepareOn(groupRows({}), groupedLayout());
    QCOMPARE(r.pageCount(), 1);
    QCOMPARE(r.texts(0), (QStringList{"Шапка страницы", "Заголовок", "Итого:", "0.00", "Страница 1"}));
}

void ReportEngineTest::pdfHoldsTheSamePages() {
    const PreparedReport r = prepareOn(numberedRows(120), groupedLayout());
    const QString path = dir.filePath("report.pdf");
    QVERIFY(saveReportPdf(r, path));
    const QString text = pdfText(path);
    QVERIFY2(text.contains("Заголовок") && text.contains("строка 120") && text.contains("7260.00") &&
                 text.contains("Страница 3"),
             qPrintable(text.left(400)));
    QCOMPARE(text.count("Шапка страницы"), 3);
    QCOMPARE(text.count('\f'), 3); // one form feed a page
    QVERIFY(!saveReportPdf(r, dir.filePath("no/such/folder/report.pdf")));
}

void ReportEngineTest::preview() {
    const PreparedReport r = prepareOn(numberedRows(120), groupedLayout());
    ReportPreview preview(r, "   Отчет ");
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(preview.windowTitle(), "Отчет");
    QVERIFY(preview.windowState() & Qt::WindowMaximized);
    QCOMPARE(preview.PageBox->maximum(), 3);
    preview.PageBox->setValue(2);
    QCOMPARE(preview.currentPage(), 1);
    preview.ZoomBox->setCurrentIndex(3); // 100%
    const QString path = dir.filePath("preview.pdf");
    QVERIFY(preview.savePdf(path));
    QVERIFY(pdfText(path).contains("строка 60"));
    preview.close();
}

void ReportEngineTest::groupHeaderKeepsItsFirstRow() {
    // 297 - 2 * 10 margin - 5 page footer - 5 page header = 267 mm of bands. The title (8), the
    // first group's header (5) and its 49 rows (245) leave 9 mm: room for the next group's header
    // (5), not for its first row as well.
    ReportLayout l = groupedLayout();
    l.groups[0].footer.height = 0;
    const PreparedReport r =
        prepareOn(numberedRows(50, [](int n) { return QString(n <= 49 ? "A" : "B"); }), l);
    QCOMPARE(r.pageCount(), 2);
    QVERIFY(!r.texts(0).contains("B"));
    QCOMPARE(r.texts(1).mid(1, 2), (QStringList{"B", "строка 50"}));
}

void ReportEngineTest::textsFitTheirCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<bool>("smaller");
    QTest::addColumn<bool>("whole");
    QTest::newRow("fits as it is") << "Резка" << 40.0 << false << true;
    QTest::newRow("a little too wide: smaller") << "ПОКРАСКА ПОРОШКОВАЯ" << 36.0 << true << true;
    QTest::newRow("heading in its column") << "Сумма без р/к (р.)" << 28.0 << true << true;
    QTest::newRow("far too wide: ellipsis")
        << QString("Очень длинное наименование изделия ").repeated(3) << 30.0 << true << false;
}

void ReportEngineTest::textsFitTheirCells() {
    QFETCH(QString, text);
    QFETCH(double, widthMm);
    QFETCH(bool, smaller);
    QFETCH(bool, whole);
    const FittedText fit = fitText(text, 9, true, widthMm);
    QCOMPARE(fit.pt < 9, smaller);
    QVERIFY(fit.pt >= 6);
    QCOMPARE(fit.text == text, whole);
    if (!whole)
        QVERIFY(fit.text.endsWith(QChar(0x2026)));

    // On paper: the whole text reaches the PDF, centred in a cell narrower than the text at 9 pt.
    ReportLayout l;
    l.name = "fit";
    l.detail.height = 5;
    l.detail.items << field("name", QRectF(20, 0, widthMm, 5), 9, true, Qt::AlignCenter);
    MemoryRows rows({"name"}, {{text}});
    const QString path = dir.filePath("fit.pdf");
    QVERIFY(saveReportPdf(prepareReport(l, rows), path));
    const QString printed = pdfText(path).simplified();
    QVERIFY2(printed.contains(fit.text.simplified()), qPrintable(printed));
}

void ReportEngineTest::printsTheChosenPagesAndCopies() {
    QCOMPARE(pagesToPrint(5, 0, 0, 1, true), (QVector<int>{0, 1, 2, 3, 4}));
    QCOMPARE(pagesToPrint(5, 2, 3, 2, true), (QVector<int>{1, 2, 1, 2}));
    QCOMPARE(pagesToPrint(5, 2, 3, 2, false), (QVector<int>{1, 1, 2, 2}));
    QCOMPARE(pagesToPrint(3, 2, 9, 1, true), (QVector<int>{1, 2}));
    // Pages 2-3 of three, twice, to a PDF printer: four sheets, the second page first.
    const PreparedReport r = prepareOn(numberedRows(120), groupedLayout());
    QCOMPARE(r.pageCount(), 3);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir.filePath("printed.pdf");
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printer.setCopyCount(2);
    printer.setCollateCopies(true);
    printReport(r, printer);
    const QString text = pdfText(path);
    QCOMPARE(text.count('\f'), 4);
    QVERIFY(!text.contains("Страница 1"));
    QCOMPARE(text.count("Страница 2"), 2);
    QVERIFY(text.indexOf("Страница 2") < text.indexOf("Страница 3"));
}

void ReportEngineTest::reportErrorsShowTheirText() {
    messages.shown.clear();
    runGuarded([] { ReportExpression("IF(1,2"); });
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown[0].contains("IF(1,2"), qPrintable(messages.shown[0]));
}

void ReportEngineTest::previewWhileThePagesAreMade() {
    auto preparation = [this](int rows) {
        auto read = std::make_unique<MemoryRows>(numberedRows(rows));
        auto p = std::make_unique<ReportPreparation>(groupedLayout(), std::move(read));
        // As the reports window does: the preview opens once the first page is made.
        p->makeFirstPage();
        return p;
    };
    messages.shown.clear();
    ReportPreview partial(preparation(20000), "Отчет");
    QVERIFY(!partial.complete());
    QVERIFY(partial.shownPages() >= 1);
    QVERIFY(!partial.StopButton->isHidden());
    QVERIFY(partial.StateLabel->text().contains("готовится"));
    // Print and PDF wait for the whole report.
    QVERIFY(!partial.PdfButton->isEnabled());
    QVERIFY(!partial.savePdf(dir.filePath("partial.pdf")));
    QCOMPARE(messages.shown.size(), 1);
    // The page count grows while the user reads; stopping keeps the pages and says so.
    const int before = partial.shownPages();
    partial.prepareMore();
    partial.prepareMore();
    QVERIFY(partial.shownPages() > before);
    partial.stop();
    QVERIFY(partial.stopped() && !partial.complete());
    QVERIFY(partial.StateLabel->text().contains("неполный"));
    QVERIFY(partial.StopButton->isHidden());
    QVERIFY(!partial.savePdf(dir.filePath("partial.pdf")));
    QCOMPARE(messages.shown.size(), 2);
    QVERIFY(!partial.prepareMore());

    // Shown, the rest are made between events, and the whole report prints.
    ReportPreview whole(preparation(3000), "Отчет");
    whole.show();
    QTRY_VERIFY_WITH_TIMEOUT(whole.complete(), 20000);
    QCOMPARE(whole.shownPages(), whole.report().pageCount());
    QVERIFY(whole.StateLabel->text().isEmpty());
    QVERIFY(whole.PdfButton->isEnabled());
    const QString path = dir.filePath("whole.pdf");
    QVERIFY(whole.savePdf(path));
    QVERIFY(pdfText(path).contains("строка 3000"));
    whole.close();
}

QTEST_MAIN(ReportEngineTest)
#include "test_report_engine.moc"
