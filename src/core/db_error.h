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
