#pragma once
// What tests replace on the screen: message boxes, modal showing and the spreadsheet viewer (the
// clock and the end of the program are core/clock.h). Each has the real behaviour as default.
#include "core/clock.h"

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace seams {

struct Messages {
    virtual ~Messages() = default;
    virtual void error(const QString &text, const QString &title) = 0;
    virtual bool yesNo(const QString &text, const QString &title) = 0;
    // What the program tells without a fault (what a rebuild did): nothing to answer, so a
    // replacement that does not show it may leave it out.
    virtual void info(const QString &, const QString &) {}
};

// The desktop's spreadsheet application, which opens a finished workbook for the user.
struct SpreadsheetViewer {
    virtual ~SpreadsheetViewer() = default;
    virtual bool available() = 0;
    // False when no application could be started for it.
    virtual bool open(const QString &path) = 0;
};
// nullptr brings back the real one.
void setSpreadsheetViewer(SpreadsheetViewer *viewer);
SpreadsheetViewer &spreadsheetViewer();

// Installing nullptr brings back the real message boxes.
void setMessages(Messages *messages);
void setModalRunner(std::function<int(QDialog *)> runner);

} // namespace seams

// Error box: title, error icon, OK button.
void showError(const QString &text, const QString &title = QStringLiteral("Ошибка"));
// Information box: title, information icon, OK button.
void showInfo(const QString &text, const QString &title);
// Question box: title, question icon, Yes/No buttons; true on Yes.
bool askYesNo(const QString &text, const QString &title);
// Every window shown modally goes through here.
int showModal(QDialog *dialog);

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
