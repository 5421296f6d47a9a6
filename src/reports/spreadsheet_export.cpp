#include "reports/spreadsheet_export.h"

#include "ui/seams.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWidget>
#include <clocale>
#include <string>
#include <xlsxwriter.h>

namespace {
// libxlsxwriter prints numbers with the C library's locale; a Russian one corrupts the workbook.
class CNumericLocale {
public:
    CNumericLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr)) { std::setlocale(LC_NUMERIC, "C"); }
    ~CNumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }

private:
    std::string saved_;
};

// The window the export is made from, as a file name: its caption without the characters file
// systems refuse; "Отчет" when no window is active.
QString exportName() {
    QWidget *window =
        QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    QString name = window ? window->windowTitle().trimmed() : QString();
    static const QRegularExpression refused(R"([/\\:*?"<>|\x00-\x1f])");
    name.replace(refused, "_");
    name = name.left(60).trimmed();
    while (name.endsWith('.'))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Отчет") : name;
}

// In the user's documents folder (made when missing): the temporary folder is emptied at restart,
// and the clerk would lose the workbook.
QString freshExportPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!dir.isEmpty())
        QDir().mkpath(dir);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString stem =
        dir + '/' + exportName() + '_' + QDateTime::currentDateTime().toString("yyyyMMdd_HHmmss");
    QString path = stem + ".xlsx";
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QString("%1_%2.xlsx").arg(stem).arg(n);
    return path;
}

// Text as typed input is read: a number in the workstation's format becomes a number.
bool asNumber(const QString &text, double *value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    *value = locale.toDouble(text.trimmed(), &ok);
    return ok && !text.trimmed().isEmpty();
}
} // namespace

class PendingWorkbook {
public:
    explicit PendingWorkbook(const QString &path) : path_(path) {
        const QByteArray file = path.toUtf8();
        book_ = workbook_new(file.constData());
        sheet_ = book_ ? workbook_add_worksheet(book_, nullptr) : nullptr;
    }
    ~PendingWorkbook() {
        // A workbook that was never shown to the user leaves no file behind.
        if (book_ && !finished_ && finish())
            QFile::remove(path_);
    }
    bool valid() const { return book_ && sheet_; }
    bool finished() const { return finished_; }
    const QString &path() const { return path_; }

    lxw_error write(int column, int row, const QString &text, CellOptions o) {
        if (finished_)
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        lxw_format *format = formatFor(o);
        const QByteArray utf8 = text.toUtf8();
        double number = 0;
        lxw_error rc;
        if (!o.asText && asNumber(text, &number))
            rc = worksheet_write_number(sheet_, lxw_row_t(row - 1), lxw_col_t(column - 1), number, format);
        else
            rc = worksheet_write_string(sheet_, lxw_row_t(row - 1), lxw_col_t(column - 1), utf8.constData(),
                                        format);
        if (rc == LXW_NO_ERROR && o.autoFit)
            widths_[column] = std::max(widths_.value(column), int(text.size()));
        return rc;
    }

    bool finish() {
        finished_ = true;
        for (auto it = widths_.cbegin(); it != widths_.cend(); ++it)
            worksheet_set_column(sheet_, lxw_col_t(it.key() - 1), lxw_col_t(it.key() - 1),
                                 std::min(255.0, it.value() * 1.15 + 2), nullptr);
        CNumericLocale c;
        const lxw_error rc = workbook_close(book_);
        book_ = nullptr;
        return rc == LXW_NO_ERROR;
    }

private:
    lxw_format *formatFor(CellOptions o) {
        if (!o.asText && !o.bold)
            return nullptr;
        const int key = (o.asText ? 1 : 0) | (o.bold ? 2 : 0);
        if (!formats_.contains(key)) {
            lxw_format *f = workbook_add_format(book_);
            if (o.asText)
                format_set_num_format(f, "@");
            if (o.bold)
                format_set_bold(f);
            formats_[key] = f;
        }
        return formats_[key];
    }

    QString path_;
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    bool finished_ = false;
    QMap<int, lxw_format *> formats_;
    QMap<int, int> widths_;
};

namespace SpreadsheetExport {

int OpenWorkbook(SpreadsheetApp &app, const QString &fileName) {
    // The workbook is written by the program itself: it needs no spreadsheet application, which
    // is only asked to open the finished file.
    app.attached = true;
    if (fileName.isEmpty()) {
        auto book = std::make_shared<PendingWorkbook>(freshExportPath());
        if (book->valid()) {
            app.workbook = book;
            return 1;
        }
    }
    showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."), QStringLiteral("Ошибка"));
    return -1;
}

int SetVisible(SpreadsheetApp &app, bool visible) {
    if (!visible || !app.workbook || app.workbook->finished())
        return 1;
    const std::shared_ptr<PendingWorkbook> book = app.workbook;
    if (!book->finish()) {
        showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."), QStringLiteral("Ошибка"));
        return 1;
    }
    app.lastFile = book->path();
    seams::SpreadsheetViewer &viewer = seams::spreadsheetViewer();
    // No application, or one that fails to start: the workbook is saved all the same, and the
    // user is told where.
    if (!viewer.available() || !viewer.open(book->path()))
        showError(QStringLiteral("Невозможно открыть Microsoft Excel. Книга сохранена в файле %1")
                      .arg(QDir::toNativeSeparators(book->path())),
                  QStringLiteral("Ошибка"));
    return 1;
}

int WriteCell(SpreadsheetApp &app, int sheet, int column, int row, const QString &text, CellOptions options) {
    if (text.isEmpty())
        return 1;
    const QString where =
        QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3").arg(sheet).arg(column).arg(row);
    if (!app.workbook || sheet != 1) {
        showError(where, QStringLiteral("Ошибочный номер листа Microsoft Excel"));
        return -1;
    }
    if (column < 1 || row < 1 || app.workbook->write(column, row, text, options) != LXW_NO_ERROR) {
        showError(where, QStringLiteral("Ошибка Microsoft Excel"));
        return -1;
    }
    return 1;
}

} // namespace SpreadsheetExport

SpreadsheetApp &sharedSpreadsheetApp() {
    static SpreadsheetApp app;
    return app;
}

SpreadsheetApp &shiftTimesheetSpreadsheetApp() {
    static SpreadsheetApp app;
    return app;
}
