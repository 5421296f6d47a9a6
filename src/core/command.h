#pragma once
// A statement run for its effect, with optional bound parameters.
#include "core/database.h"

#include <QString>

class Command {
public:
    Command(Database &db, const QString &name, const QString &sql = {}) : db_(db), name_(name), sql_(sql) {}

    void setSql(const QString &sql) { sql_ = sql; }
    QString sql() const { return sql_; }
    void setParam(const QString &name, const QVariant &value);
    // The number of rows the statement wrote.
    int execute();
    // Sets the text and runs it: the usual use of the scratch commands.
    int execute(const QString &sql) {
        setSql(sql);
        return execute();
    }
    const QString &name() const { return name_; }

private:
    Database &db_;
    QString name_;
    QString sql_;
    SqlParams params_;
};
