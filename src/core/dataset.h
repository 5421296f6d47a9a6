#pragma once
// A query as the windows use it: opening runs the statement and reads every row (a snapshot),
// then the rows are browsed locally with a current row, 1-based record numbers, locate and a
// client-side filter ("field like 'pat%'", "field=value", joined by "and"; letters compared
// without regard to case).
#include "core/database.h"
#include "core/id.h"

#include <QMetaType>
#include <QObject>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class Dataset : public QObject {
    Q_OBJECT
public:
    Dataset(Database &db, const QString &name, QObject *parent = nullptr);

    // Statement text: lines joined by line breaks.
    void setSql(const QStringList &lines);
    void clearSql() { lines_.clear(); }
    void addSql(const QString &line) { lines_ << line; }
    QString sqlText() const { return lines_.join('\n'); }

    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams() { params_.clear(); }

    void open();
    // The parameters the statement names, as open() binds them.
    SqlParams boundParams() const;
    void close();
    bool isOpen() const { return open_; }
    // Re-reads the rows and moves back to the same record number, when there is one.
    void reopenKeepingPlace();

    int recordCount() const { return int(visible_.size()); }
    bool isEmpty() const { return visible_.isEmpty(); }
    int recNo() const { return current_ < 0 ? 0 : current_ + 1; }
    void moveTo(int recNo);
    void first() { moveTo(1); }
    void last() { moveTo(recordCount()); }
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool locate(const QString &field, const QVariant &value);

    int fieldCount() const { return int(fields_.size()); }
    QString fieldName(int column) const { return fields_.value(column); }
    int fieldIndex(const QString &name) const;
    QMetaType fieldType(int column) const { return types_.value(column); }

    // Values of the current row; an empty dataset yields null values.
    QVariant value(const QString &field) const;
    QString text(const QString &field) const { return value(field).toString(); }
    // Small whole numbers (counts, hours, codes); ids go through asId.
    int asInt(const QString &field) const;
    Id asId(const QString &field) const { return toId(value(field)); }
    double asDouble(const QString &field) const;
    QVariant valueAt(int visibleRow, int column) const;

    void setFilter(const QString &filter);
    QString filter() const { return filter_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    const QString &name() const { return name_; }

signals:
    void rowsReset();
    void currentChanged(int visibleRow);

private:
    struct Condition {
        int column = -1;
        bool like = false;
        QString value;
        QRegularExpression pattern;
    };
    void applyFilter();
    bool matches(const QVector<QVariant> &row, const QVector<Condition> &conds) const;
    QVector<Condition> parseFilter() const;
    void setCurrent(int visibleRow);

    Database &db_;
    QString name_;
    QStringList lines_;
    SqlParams params_;
    bool open_ = false;
    QStringList fields_;
    QVector<QMetaType> types_;
    QVector<QVector<QVariant>> rows_;
    QVector<int> visible_;
    int current_ = -1;
    bool eof_ = true;
    QString filter_;
    bool filtered_ = false;
};
