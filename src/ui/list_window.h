#pragma once
// What the reference lists share: a read-only grid on a dataset, a prefix filter field, a bottom
// panel of buttons ending in "Выход", a mode tag set by the opener, and the hand-over of the
// chosen row to the opener in picker modes.
#include "core/id.h"
#include "ui/dataset_model.h"

#include <QDialog>
#include <QLineEdit>
#include <QMap>
#include <functional>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QTableView;

// Filters a dataset to the rows whose field begins with (or, for Contains, holds) the typed text.
// Up and Down move the dataset; of the other keys only typed characters and Backspace edit the text,
// unless the cursor keys are let in (Delete, Left, Right, Home, End).
class PrefixFilterEdit : public QLineEdit {
    Q_OBJECT
public:
    enum Match { Prefix, Contains };
    PrefixFilterEdit(Dataset *dataset, const QString &field, QWidget *parent = nullptr, Match match = Prefix);
    void setCursorKeysEdit(bool on) { cursorKeysEdit_ = on; }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void applyFilter(const QString &text);
    Dataset *dataset_;
    QString field_;
    Match match_;
    bool cursorKeysEdit_ = false;
};

// A quoted SQL text literal: apostrophes doubled, so the text is stored as typed.
QString sqlQuoted(const QString &text);

class ReferenceListWindow : public QDialog {
    Q_OBJECT
public:
    int Tag = 0; // mode: 0 list; picker modes as each list defines
    QTableView *DBGrid1 = nullptr;
    PrefixFilterEdit *Edit1 = nullptr;
    QPushButton *Button4 = nullptr; // "Выход"

    // Where a pick in each picker mode goes: the opener's held id and text field.
    using PickTarget = std::function<void(Id id, const QString &text)>;
    QMap<int, PickTarget> pickTargets;

    Dataset *dataset() const { return model_->dataset(); }

    // Shows the list modally as a picker for mode: its query opened, the choose button captioned
    // "Выбрать" and made the default, the buttons that change the list hidden, the filter field
    // shown and cleared. Afterwards the choose button is no longer the default and, when asked,
    // the filter field is hidden again and the query closed.
    struct PickerSetup {
        int mode;
        QPushButton *choose;
        QList<QPushButton *> hidden;
        bool hideFilterAfter = true;
        bool closeAfter = true;
    };
    void runAsPicker(const PickerSetup &setup);
    // Shows the list modally to maintain it (mode 0): its query opened, the change button captioned
    // "Изменить" and not the default, the buttons that change the list shown; the query is closed
    // afterwards.
    void runForMaintenance(QPushButton *change, const QList<QPushButton *> &shown,
                           QPushButton *defaultButton);

protected:
    ReferenceListWindow(const QString &objectName, QWidget *parent = nullptr);
    // Shows the dataset in the grid with these columns; the filter field filters on filterField.
    void bindDataset(Dataset *dataset, QVector<GridColumn> columns, const QString &filterField,
                     PrefixFilterEdit::Match match = PrefixFilterEdit::Prefix);
    QPushButton *panelButton(const char *name, const QString &caption);
    void addToPanel(QWidget *widget);
    // Adds the filter field and "Выход" after the buttons.
    void finishPanel();
    // Hands (id, text) to the opener of the current mode; false when the mode has no opener.
    bool handToOpener(Id id, const QString &text);
    void showEvent(QShowEvent *e) override;

private:
    DatasetModel *model_ = nullptr;
    QHBoxLayout *panel_;
};

// Fills a look-up box from a dataset (caption and key fields), keeping the chosen key.
void fillLookup(QComboBox *box, Dataset &rows, const QString &captionField, const QString &keyField);
