#include "core/dataset.h"

#include "core/db_error.h"

#include <QRegularExpression>
#include <QSqlField>
#include <QSqlRecord>
#include <limits>

Dataset::Dataset(Database &db, const QString &name, QObject *parent) : QObject(parent), db_(db), name_(name) {
    setObjectName(name);
}

void Dataset::setSql(const QStringList &lines) {
    lines_ = lines;
}

void Dataset::setParam(const QString &name, const QVariant &value) {
    for (auto &p : params_) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    params_.append({name, value});
}

QVariant Dataset::param(const QString &name) const {
    for (const auto &p : params_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    return {};
}

SqlParams Dataset::boundParams() const {
    // Only the parameters the statement names are bound.
    SqlParams used;
    const QString sql = sqlText();
    for (const auto &p : params_)
        if (sql.contains(QRegularExpression(":" + QRegularExpression::escape(p.first) + "\\b",
                                            QRegularExpression::CaseInsensitiveOption)))
            used.append(p);
    return used;
}

void Dataset::open() {
    if (open_)
        return;
    const QString sql = sqlText();
    QSqlQuery q = db_.run(sql, boundParams());
    const QSqlRecord rec = q.record();
    fields_.clear();
    types_.clear();
    for (int i = 0; i < rec.count(); ++i) {
        // The driver cannot describe a column once the link dropped after the statement ran:
        // such a list is not shown as if the day were empty.
        if (rec.fieldName(i).isEmpty()) {
            db_.checkRead(q);
            throw DbError(kConnectionLostReadMessage, true);
        }
        fields_ << rec.fieldName(i);
        types_ << rec.field(i).metaType();
    }
    rows_.clear();
    const int n = rec.count();
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        rows_.append(std::move(row));
    }
    // A read cut short is an error, not the end of the rows.
    db_.checkRead(q);
    open_ = true;
    applyFilter();
}

void Dataset::close() {
    if (!open_ && rows_.isEmpty())
        return;
    open_ = false;
    rows_.clear();
    visible_.clear();
    current_ = -1;
    eof_ = true;
    emit rowsReset();
}

void Dataset::reopenKeepingPlace() {
    const int place = recNo();
    close();
    open();
    if (!isEmpty() && place >= 1)
        moveTo(place);
}

void Dataset::setCurrent(int visibleRow) {
    current_ = visibleRow;
    emit currentChanged(visibleRow);
}

void Dataset::moveTo(int recNo) {
    if (visible_.isEmpty()) {
        eof_ = true;
        return;
    }
    eof_ = false;
    setCurrent(std::clamp(recNo, 1, recordCount()) - 1);
}

void Dataset::next() {
    if (current_ + 1 >= recordCount()) {
        eof_ = true;
        return;
    }
    setCurrent(current_ + 1);
}

void Dataset::prior() {
    eof_ = false;
    if (current_ > 0)
        setCurrent(current_ - 1);
}

bool Dataset::locate(const QString &field, const QVariant &value) {
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    const QString wanted = value.toString();
    bool wantedIsNumber = false;
    const double wantedNumber = wanted.toDouble(&wantedIsNumber);
    for (int i = 0; i < visible_.size(); ++i) {
        const QVariant &v = rows_[visible_[i]][col];
        if (v.isNull())
            continue;
        const QString text = v.toString();
        bool isNumber = false;
        const double number = text.toDouble(&isNumber);
        const bool same = (isNumber && wantedIsNumber) ? number == wantedNumber
                                                       : text.compare(wanted, Qt::CaseInsensitive) == 0;
        if (same) {
            eof_ = false;
            setCurrent(i);
            return true;
        }
    }
    return false;
}

int Dataset::fieldIndex(const QString &name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Dataset::value(const QString &field) const {
    if (current_ < 0 || current_ >= visible_.size())
        return {};
    const int col = fieldIndex(field);
    if (col < 0)
        throw DbError(QStringLiteral("%1: поле '%2' не найдено").arg(name_, field));
    return rows_[visible_[current_]][col];
}

int Dataset::asInt(const QString &field) const {
    const QVariant v = value(field);
    bool ok = false;
    const double d = v.toString().toDouble(&ok);
    // Out of int's range is no small number: 0 rather than undefined behaviour.
    return ok && d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max() ? int(d) : 0;
}

double Dataset::asDouble(const QString &field) const {
    return value(field).toString().toDouble();
}

QVariant Dataset::valueAt(int visibleRow, int column) const {
    if (visibleRow < 0 || visibleRow >= visible_.size() || column < 0 || column >= fields_.size())
        return {};
    return rows_[visible_[visibleRow]][column];
}

void Dataset::setFilter(const QString &filter) {
    filter_ = filter;
    if (filtered_ && open_)
        applyFilter();
}

void Dataset::setFiltered(bool on) {
    filtered_ = on;
    if (open_)
        applyFilter();
}

static QRegularExpression likePattern(const QString &pattern) {
    QString re;
    for (const QChar ch : pattern) {
        if (ch == '%')
            re += ".*";
        else if (ch == '_')
            re += '.';
        else
            re += QRegularExpression::escape(QString(ch));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

QVector<Dataset::Condition> Dataset::parseFilter() const {
    QVector<Condition> conds;
    static const QRegularExpression cond(
        R"(^\s*([A-Za-z_][A-Za-z0-9_.]*)\s*(like|=)\s*('((?:[^']|'')*)'|[^\s']+)\s*)",
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression andRe(R"(^and\s+)", QRegularExpression::CaseInsensitiveOption);
    QString rest = filter_.trimmed();
    while (!rest.isEmpty()) {
        const auto m = cond.match(rest);
        if (!m.hasMatch())
            throw DbError(QStringLiteral("%1: неверный фильтр: %2").arg(name_, filter_));
        Condition c;
        QString field = m.captured(1);
        field = field.mid(field.lastIndexOf('.') + 1);
        c.column = fieldIndex(field);
        if (c.column < 0)
            throw DbError(QStringLiteral("%1: поле '%2' не найдено").arg(name_, field));
        c.like = m.captured(2).compare("like", Qt::CaseInsensitive) == 0;
        c.value = m.captured(4).isNull() && !m.captured(3).startsWith('\'')
                      ? m.captured(3)
                      : m.captured(4).replace("''", "'");
        if (c.like)
            c.pattern = likePattern(c.value);
        conds << c;
        rest = rest.mid(m.capturedLength()).trimmed();
        const auto a = andRe.match(rest);
        if (a.hasMatch())
            rest = rest.mid(a.capturedLength());
        else if (!rest.isEmpty())
            throw DbError(QStringLiteral("%1: неверный фильтр: %2").arg(name_, filter_));
    }
    return conds;
}

bool Dataset::matches(const QVector<QVariant> &row, const QVector<Condition> &conds) const {
    for (const Condition &c : conds) {
        const QVariant &v = row[c.column];
        if (v.isNull())
            return false;
        const QString text = v.toString();
        if (c.like) {
            if (!c.pattern.match(text).hasMatch())
                return false;
        } else {
            bool a = false, b = false;
            const double x = text.toDouble(&a), y = c.value.toDouble(&b);
            if (a && b ? x != y : text.compare(c.value, Qt::CaseInsensitive) != 0)
                return false;
        }
    }
    return true;
}

void Dataset::applyFilter() {
    visible_.clear();
    if (filtered_ && !filter_.trimmed().isEmpty()) {
        const auto conds = parseFilter();
        for (int i = 0; i < rows_.size(); ++i)
            if (matches(rows_[i], conds))
                visible_.append(i);
    } else {
        visible_.resize(rows_.size());
        for (int i = 0; i < rows_.size(); ++i)
            visible_[i] = i;
    }
    current_ = visible_.isEmpty() ? -1 : 0;
    eof_ = visible_.isEmpty();
    emit rowsReset();
    if (current_ >= 0)
        emit currentChanged(current_);
}
