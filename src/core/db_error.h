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
// What a save answers when another workstation changed or deleted the row since it was read.
inline const QString kStaleRowMessage =
    QStringLiteral("Запись изменена на другом рабочем месте. Обновите список.");
