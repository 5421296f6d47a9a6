#include "reports/engine/report_output.h"

#include "reports/engine/report_painting.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

QVector<int> pagesToPrint(int pageCount, int first, int last, int copies, bool collate) {
    if (first <= 0 && last <= 0) {
        first = 1;
        last = pageCount;
    }
    first = std::max(first, 1);
    last = std::min(last <= 0 ? pageCount : last, pageCount);
    copies = std::max(copies, 1);
    QVector<int> sheets;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = first; p <= last; ++p)
                sheets << p - 1;
    } else {
        for (int p = first; p <= last; ++p)
            for (int c = 0; c < copies; ++c)
                sheets << p - 1;
    }
    return sheets;
}

void paintAll(const PreparedReport &report, QPagedPaintDevice &device, const QVector<int> &pages) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    QVector<int> sheets = pages;
    if (sheets.isEmpty())
        for (int p = 0; p < report.pageCount(); ++p)
            sheets << p;
    QPainter painter(&device);
    for (int i = 0; i < sheets.size(); ++i) {
        const int p = sheets[i];
        if (i > 0)
            device.newPage();
        const QRectF page = painter.viewport();
        paintPage(painter, report, p,
                  QRectF(0, 0, page.width(), page.width() * report.pageMm.height() / report.pageMm.width()));
    }
}

bool saveReportPdf(const PreparedReport &report, const QString &path) {
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator("Piecework");
    paintAll(report, writer);
    return QFile(path).size() > 0;
}
