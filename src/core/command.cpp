#include "core/command.h"

#include <QRegularExpression>

void Command::setParam(const QString &name, const QVariant &value) {
    for (auto &p : params_) {
        if (p.first == name) {
            p.second = value;
            return;
        }
    }
    params_.append({name, value});
}

int Command::execute() {
    SqlParams used;
    for (const auto &p : params_)
        if (sql_.contains(QRegularExpression(":" + QRegularExpression::escape(p.first) + "\\b")))
            used.append(p);
    return db_.run(sql_, used).numRowsAffected();
}
