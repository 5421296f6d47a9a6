#include "ui/date_typing.h"

#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>

namespace {
class TypedDateFilter : public QObject {
public:
    explicit TypedDateFilter(QDateEdit *edit) : QObject(edit), edit_(edit) {}

    bool eventFilter(QObject *watched, QEvent *e) override {
        if (watched != edit_ || e->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent *>(e)->text();
        if (text.size() != 1)
            return false;
        const QChar c = text.at(0);
        if (c.isDigit()) {
            digitSection_ = edit_->currentSectionIndex();
            return false;
        }
        if (c == '.' || c == ',' || c == '/' || c == '-') {
            // The part typed last is already left behind: this separator has nothing to do.
            const bool movedOn = digitSection_ >= 0 && edit_->currentSectionIndex() != digitSection_;
            digitSection_ = -1;
            return movedOn;
        }
        digitSection_ = -1;
        return false;
    }

private:
    QDateEdit *edit_;
    int digitSection_ = -1;
};
} // namespace

void acceptTypedDates(QDateEdit *edit) {
    edit->installEventFilter(new TypedDateFilter(edit));
}
