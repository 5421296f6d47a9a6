#include "timesheet/month_closing_window.h"

#include "core/formatting.h"
#include "core/roles.h"
#include "timesheet/closed_months.h"
#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

MonthClosingWindow::MonthClosingWindow(QWidget *parent) : QDialog(parent) {
    setObjectName("MonthClosingWindow");
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems(monthNames());
    SpinYear = new QSpinBox(this);
    SpinYear->setObjectName("SpinYear");
    SpinYear->setRange(2007, 2100);
    auto *monthLabel = new QLabel("Месяц", this);
    monthLabel->setBuddy(ComboBox1);
    auto *yearLabel = new QLabel("Год", this);
    yearLabel->setBuddy(SpinYear);
    grid->addWidget(monthLabel, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(yearLabel, 0, 2);
    grid->addWidget(SpinYear, 0, 3);
    layout->addLayout(grid);
    LabelState = new QLabel(this);
    LabelState->setObjectName("LabelState");
    LabelState->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(LabelState);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Закрыть месяц", "Отмена");
    Button1 = row.save;
    Button2 = row.cancel;
    setTabOrder(ComboBox1, SpinYear);
    setTabOrder(SpinYear, Button1);
    setMinimumWidth(360);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    // The state follows the chosen month however it was chosen.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, guarded([this] { showState(); }));
    connect(SpinYear, &QSpinBox::valueChanged, this, guarded([this] { showState(); }));
}

int MonthClosingWindow::month() const {
    return ComboBox1->currentIndex() + 1;
}

int MonthClosingWindow::year() const {
    return SpinYear->value();
}

void MonthClosingWindow::prepare(Mode mode, const QDate &day, const Session &session) {
    mode_ = mode;
    session_ = session;
    const QString caption = mode == Close ? QStringLiteral("Закрыть месяц") : QStringLiteral("Открыть месяц");
    setWindowTitle(caption);
    Button1->setText(caption);
    // Opening is offered for the latest closed month, closing for the one whose wages are paid now.
    QDate offered = QDate(day.year(), day.month(), 1).addMonths(-1);
    if (mode == Reopen) {
        const QDate latest = latestClosedMonth(forms().DataModule6->ADO_DB);
        if (latest.isValid())
            offered = latest;
    }
    {
        const QSignalBlocker quietMonth(ComboBox1);
        const QSignalBlocker quietYear(SpinYear);
        ComboBox1->setCurrentIndex(offered.month() - 1);
        SpinYear->setValue(offered.year());
    }
    showState();
}

void MonthClosingWindow::launch(Mode mode, const Session &session) {
    prepare(mode, today(), session);
    showModal(this);
}

void MonthClosingWindow::showState() {
    const MonthClosing state = monthClosing(forms().DataModule6->ADO_DB, month(), year());
    if (!state.closed)
        LabelState->setText("Месяц открыт");
    else
        LabelState->setText(QString("Месяц закрыт %1%2")
                                .arg(state.at.toString("dd.MM.yyyy hh:mm"))
                                .arg(state.by.isEmpty() ? QString() : " (" + state.by + ")"));
    LabelState->setAccessibleName(LabelState->text());
    // Closing a closed month or opening an open one has nothing to do.
    Button1->setEnabled(state.closed == (mode_ == Reopen));
}

void MonthClosingWindow::Button1Click() {
    Database &db = forms().DataModule6->ADO_DB;
    const QString period = ComboBox1->currentText() + ' ' + QString::number(year());
    if (mode_ == Close) {
        if (!askYesNo("Закрыть месяц " + period + "? Записи месяца нельзя будет изменить.", "Закрыть месяц"))
            return;
        closeMonth(db, month(), year(), actorText(session_));
    } else {
        if (!askYesNo("Открыть месяц " + period + " для изменений?", "Открыть месяц"))
            return;
        reopenMonth(db, month(), year());
    }
    showState();
    accept();
}
