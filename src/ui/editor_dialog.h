#pragma once
// The parts every editor dialog shares: a titled group box with a bold caption, and the bottom
// row with the save button (default: Enter) and the button that closes without saving (Esc); and
// the buttons of a window's bottom panel.
#include <QString>

class QBoxLayout;
class QDialog;
class QGroupBox;
class QPushButton;
class QWidget;

// Only the caption is bold; the controls inside keep the normal font.
QGroupBox *boldGroupBox(const QString &title, QWidget *parent);

struct SaveCancelRow {
    QPushButton *save;
    QPushButton *cancel;
};
// Adds the row to layout; cancel closes the dialog. The caller connects save.
SaveCancelRow addSaveCancelRow(QDialog *dialog, QBoxLayout *layout, const QString &saveCaption,
                               const QString &cancelCaption, const char *cancelName = "Button2",
                               bool cancelAtRightEdge = false);

// A button of a window's panel, added to row: named, captioned, and not pressed by an Enter meant
// for another control.
QPushButton *addPanelButton(QWidget *window, QBoxLayout *row, const char *name, const QString &caption);
