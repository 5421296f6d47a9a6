#pragma once
// The one error type a failing statement raises; it carries the database's own text.
#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text, bool connectionLost = false)
        : std::runtime_error(text.toStdString()), text_(text), connectionLost_(connectionLost) {}
    QString text() const { return text_; }
    bool connectionLost() const { return connectionLost_; }

private:
    QString text_;
    bool connectionLost_;
};

// What the database answers a write into a month the office has closed (its own trigger's text).
inline const QString kClosedMonthMessage = QStringLiteral("Месяц закрыт для изменений");
// What an action answers when the connection to the server was lost (a restart, a dropped link).
// A write: nothing was saved, the user repeats it on the new connection.
inline const QString kConnectionLostWriteMessage =
    QStringLiteral("Связь с базой данных была потеряна. Изменения не сохранены: повторите действие.");
// The connection dropped while the server committed and the server could not be asked afterwards:
// the changes may or may not be saved, and the user must look before entering them again.
inline const QString kCommitUnknownMessage =
    QStringLiteral("Связь с базой данных была потеряна во время сохранения, и неизвестно, сохранены ли "
                   "изменения. Обновите список и проверьте, прежде чем повторять.");
// A read cut short (a report read in portions): what was read is not shown as if complete.
inline const QString kConnectionLostReadMessage =
    QStringLiteral("Связь с базой данных была потеряна, данные прочитаны не полностью. Повторите действие.");
// A read that failed again on a new connection: the server is out of reach.
inline const QString kNoConnectionMessage =
    QStringLiteral("Нет связи с базой данных. Повторите действие позже.");
// A write was committed, but reading the list again afterwards lost the connection: the user must
// not take it for a failure and enter the same work twice.
inline const QString kSavedListNotRefreshedMessage = QStringLiteral(
    "Изменения сохранены, но список не обновлён: нет связи с базой данных. Обновите список позже.");
// Another workstation holds the row or the day cell (a lock wait that outlasted its bound, or two
// saves waiting for each other): nothing was written.
inline const QString kRowBusyMessage =
    QStringLiteral("Запись занята другим рабочим местом, повторите действие");
// What a save answers when another workstation changed or deleted the row since it was read.
inline const QString kStaleRowMessage =
    QStringLiteral("Запись изменена на другом рабочем месте. Обновите список.");
// The database refused the connection's role a right the action needs (an account whose role does
// not allow it, a grant missing); %1 names what was refused ("таблица smena").
inline const QString kWriteRefusedMessage =
    QStringLiteral("Нет прав на это действие: база данных отказала (%1). Изменения не сохранены.");
inline const QString kReadRefusedMessage =
    QStringLiteral("Нет прав на чтение этих данных: база данных отказала (%1).");
