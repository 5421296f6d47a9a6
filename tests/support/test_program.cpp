#include "support/test_program.h"

#include "app/startup.h"
#include "ui/forms.h"

#include <QProcess>
#include <QTest>

namespace testing {

RecordingMessages &messages() {
    static RecordingMessages m;
    return m;
}

int &terminations() {
    static int n = 0;
    return n;
}

void typeText(QWidget *widget, const QString &text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(0), QString(ch), Qt::NoModifier);
}

QString sourceDir() {
    return QStringLiteral(PIECEWORK_SOURCE_DIR);
}

int shell(const QString &command) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start("/bin/bash", {"-c", command});
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

static const char *const kPsql = "PGPASSWORD=tulwexa PGOPTIONS='-c client_min_messages=warning' psql -q -h "
                                 "127.0.0.1 -p 5432 -U sys -v ON_ERROR_STOP=1";

int psql(const QString &name, const QString &sql) {
    QString quoted = sql;
    quoted.replace('\'', "'\\''");
    return shell(QString("%1 -d piecework_%2 -c '%3'").arg(kPsql, name, quoted));
}

QString createDatabase(const QString &name) {
    const QString db = "piecework_" + name;
    const QString psql = QString(kPsql) + " -d postgres";
    const int rc =
        shell(QString("%1 -c 'drop database if exists %2 with (force)' -c 'create database %2 template "
                      "piecework_template'")
                  .arg(psql, db));
    if (rc != 0)
        qFatal("could not create the test database %s (is the cluster running? scripts/db template)",
               qPrintable(db));
    return db;
}

QStringList argumentsFor(const QString &database) {
    return {database, "127.0.0.1"};
}

static std::function<int(QDialog *)> g_nextModal;

void onModal(std::function<int(QDialog *)> script) {
    g_nextModal = std::move(script);
}

void setToday(const QDate &date) {
    seams::setClock([date] { return QDateTime(date, QTime(10, 0)); });
}

ExportDesk::ExportDesk() {
    qputenv("HOME", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    seams::setSpreadsheetViewer(&viewer);
}

ExportDesk::~ExportDesk() {
    seams::setSpreadsheetViewer(nullptr);
}

void startProgram(const QString &name) {
    const QString db = createDatabase(name);
    if (!startProgramOn(db))
        qFatal("the program did not start against %s", qPrintable(db));
}

bool startProgramOn(const QString &database) {
    seams::setMessages(&messages());
    seams::setTerminator([] { ++terminations(); });
    seams::setModalRunner([](QDialog *d) {
        auto script = std::move(g_nextModal);
        g_nextModal = nullptr;
        return script ? script(d) : int(QDialog::Rejected);
    });
    seams::setBuildStamp(20240101, 3600);
    if (!createForms(argumentsFor(database))) {
        qWarning("the program did not start against %s", qPrintable(database));
        return false;
    }
    return true;
}

} // namespace testing
