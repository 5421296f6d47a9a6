#pragma once
// The expressions of report items: numbers, 'texts', field names with or without the query's name
// in front, + - * /, comparisons (= <> < > <= >=), IF/if(c,a,b), STR(n), sum(x) and PAGENUMBER.
// "+" joins when either side is a text. sum(x) is not computed here: the engine accumulates x over
// the rows a band covers and hands the totals in.
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <stdexcept>

struct ReportValue {
    bool isText = false;
    double number = 0;
    QString text;
    bool isNull = false; // an empty database value: 0 in arithmetic, nothing when shown

    static ReportValue of(double n) { return {false, n, {}, false}; }
    static ReportValue of(const QString &t) { return {true, 0, t, false}; }
    // A database value: numbers (also exact ones read as text) become numbers, null becomes 0.
    static ReportValue fromField(const QVariant &v, bool numericField);
    QString toText() const;
    double toNumber() const;
};

struct ReportContext {
    std::function<ReportValue(const QString &field)> field;
    const QVector<double> *sums = nullptr; // the totals of the expression's sum() calls, in order
    int page = 1;
};

class ReportExpression {
public:
    ReportExpression() = default;
    // An expression that does not parse throws ReportError with the text and the place.
    explicit ReportExpression(const QString &text);

    ReportValue evaluate(const ReportContext &ctx) const;
    // The sum() calls, in the order their totals are handed in.
    int sumCount() const { return int(sums_.size()); }
    ReportValue evaluateSumArgument(int index, const ReportContext &ctx) const;
    bool isEmpty() const { return !root_; }
    const QString &text() const { return text_; }

    struct Node;

private:
    QString text_;
    std::shared_ptr<Node> root_;
    QVector<std::shared_ptr<Node>> sums_;
};

// A layout that cannot be printed (an expression that does not parse, a field the query lacks).
// A standard exception, so that the top-level handler shows its text like any other.
struct ReportError : std::runtime_error {
    explicit ReportError(const QString &message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// A number in a display mask: "#0" whole, "#0.00" two decimals, "#0.000" three, "#0.00#" two or
// three; no thousands separators; the workstation's decimal separator. An empty mask gives the
// shortest plain form.
QString formatReportNumber(double value, const QString &mask);
