#include "ui/editor_dialog.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>

QGroupBox *boldGroupBox(const QString &title, QWidget *parent) {
    auto *group = new QGroupBox(title, parent);
    group->setStyleSheet("QGroupBox { font-weight: bold; }");
    return group;
}

SaveCancelRow addSaveCancelRow(QDialog *dialog, QBoxLayout *layout, const QString &saveCaption,
                               const QString &cancelCaption, const char *cancelName, bool cancelAtRightEdge) {
    auto *row = new QHBoxLayout;
    auto *save = new QPushButton(saveCaption, dialog);
    save->setObjectName("Button1");
    save->setDefault(true);
    auto *cancel = new QPushButton(cancelCaption, dialog);
    cancel->setObjectName(cancelName);
    cancel->setAutoDefault(false);
    if (!cancelAtRightEdge)
        row->addStretch(1);
    row->addWidget(save);
    if (cancelAtRightEdge)
        row->addStretch(1);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {save, cancel};
}

QPushButton *addPanelButton(QWidget *window, QBoxLayout *row, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, window);
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}
