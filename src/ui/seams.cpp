#include "ui/seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
seams::Messages *g_messages = nullptr;
std::function<int(QDialog *)> g_modal;
} // namespace

namespace {
// LibreOffice when it is installed, otherwise whatever the desktop opens workbooks with.
struct DesktopSpreadsheetViewer : seams::SpreadsheetViewer {
    static QString office() {
        for (const char *name : {"libreoffice", "soffice", "localc"}) {
            const QString path = QStandardPaths::findExecutable(name);
            if (!path.isEmpty())
                return path;
        }
        return {};
    }
    bool available() override {
        if (!office().isEmpty())
            return true;
        QProcess query;
        query.start("xdg-mime", {"query", "default",
                                 "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"});
        return query.waitForFinished(3000) && !query.readAllStandardOutput().trimmed().isEmpty();
    }
    bool open(const QString &path) override {
        const QString program = office();
        if (!program.isEmpty())
            return QProcess::startDetached(program, {"--calc", path});
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};
DesktopSpreadsheetViewer g_desktopViewer;
seams::SpreadsheetViewer *g_viewer = nullptr;
} // namespace

namespace seams {
void setSpreadsheetViewer(SpreadsheetViewer *viewer) {
    g_viewer = viewer;
}
SpreadsheetViewer &spreadsheetViewer() {
    return g_viewer ? *g_viewer : g_desktopViewer;
}
void setMessages(Messages *messages) {
    g_messages = messages;
}
void setModalRunner(std::function<int(QDialog *)> runner) {
    g_modal = std::move(runner);
}
} // namespace seams

void showError(const QString &text, const QString &title) {
    if (g_messages) {
        g_messages->error(text, title);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void showInfo(const QString &text, const QString &title) {
    if (g_messages) {
        g_messages->info(text, title);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool askYesNo(const QString &text, const QString &title) {
    if (g_messages)
        return g_messages->yesNo(text, title);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

int showModal(QDialog *dialog) {
    if (g_modal) {
        // As exec() does: the result of an earlier showing does not count for this one.
        dialog->setResult(0);
        return g_modal(dialog);
    }
    return dialog->exec();
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}
