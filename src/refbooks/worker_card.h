#pragma once
// "Работники": the card of one worker, his name and position (mode 1 new, 2 change).
#include <QDialog>

#include "core/command.h"
#include "core/dataset.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    int Tag = 1;
    Id WorkerId = 0;
    QLineEdit *Edit1;
    QComboBox *LCB_department;
    QComboBox *LCB_staffpos; // supplies the position text
    QComboBox *LCB_roles;
    QPushButton *Button1; // "Записать"
    QPushButton *Button2; // "Отмена"

    void reopenLookups();
    // For a change: the position box stands on the worker's own position; while the user does
    // not touch it, the stored text is written back unchanged.
    void startOnPosition(const QString &storedPosition);
    QString positionText() const;

    void Button1Click();
    void deleteWorker(Id id);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void insertWorker(const QString &fio, const QString &position);
    void updateWorker(const QString &fio, const QString &position);

    Command cmd_person;
    Dataset departments_;
    Dataset staffpos_;
    Dataset roles_;
    QString storedPosition_;
    bool keepStoredPosition_ = false;
};
