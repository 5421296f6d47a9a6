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

void Command::execute() {
    SqlParams used;
    for (const auto &p : params_)
        if (sql_.contains(QRegularExpression(":" + QRegularExpression::escape(p.first) + "\\b")))
            used.append(p);
    db_.run(sql_, used);
}
