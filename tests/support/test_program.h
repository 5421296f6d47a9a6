#pragma once
// Starts the program against a fresh database of the test's own and replaces the seams: message
// boxes are recorded and answered from a script, modal windows run a script, the clock is set.
#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

#include "ui/seams.h"

struct Message {
    QString kind; // "error", "info" or "question"
    QString text;
    QString title;
};

class RecordingMessages : public seams::Messages {
public:
    QList<Message> shown;
    QList<bool> answers; // answers to the next questions; No when none is left

    void error(const QString &text, const QString &title) override { shown.append({"error", text, title}); }
    void info(const QString &text, const QString &title) override { shown.append({"info", text, title}); }
    bool yesNo(const QString &text, const QString &title) override {
        shown.append({"question", text, title});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void clear() {
        shown.clear();
        answers.clear();
    }
};

// The desktop's spreadsheet application as tests see it: finished workbooks are kept, not opened.
struct KeptWorkbooks : seams::SpreadsheetViewer {
    bool present = true;
    bool starts = true; // false: the application is there but fails to start
    QStringList opened;
    std::function<void()> whileOpening; // runs as a workbook is handed over, inside the export
    bool available() override { return present; }
    bool open(const QString &path) override {
        if (whileOpening)
            whileOpening();
        if (!starts)
            return false;
        opened << path;
        return true;
    }
};

namespace testing {

// Where a test's exports go: a home of its own (HOME and TMPDIR point there, so nothing reaches
// the user's folders) and the spreadsheet application that keeps the workbooks, for as long as
// it lives.
struct ExportDesk {
    QTemporaryDir home;
    KeptWorkbooks viewer;
    ExportDesk();
    ~ExportDesk();
};

RecordingMessages &messages();
// Number of times the program asked to end.
int &terminations();

// Creates database "piecework_<name>" from the template and returns its name.
QString createDatabase(const QString &name);
// The command-line arguments that reach that database.
QStringList argumentsFor(const QString &database);

// createDatabase, install the seams, createForms. Fails the test when the program does not start.
void startProgram(const QString &name);
// The same on a database made by the test; false when the program did not start.
bool startProgramOn(const QString &database);

void setToday(const QDate &date);
// Script for the next modal window: receives the window, returns the dialog result.
void onModal(std::function<int(QDialog *)> script);

// Types text into a widget key by key, Cyrillic letters included.
void typeText(QWidget *widget, const QString &text);

// Runs a statement on the test's database "piecework_<name>" through a connection of its own
// (another workstation); returns psql's exit code.
int psql(const QString &name, const QString &sql);

// Runs a shell command line; returns its exit code.
int shell(const QString &command);
QString sourceDir();

} // namespace testing
