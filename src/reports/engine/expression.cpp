#include "reports/engine/expression.h"

#include "core/formatting.h"

#include <QLocale>
#include <cmath>

struct ReportExpression::Node {
    enum Kind { Number, Text, Field, Sum, If, Str, PageNumber, Negate, Binary } kind = Number;
    double number = 0;
    QString text; // text, field name or operator
    int sumIndex = -1;
    std::shared_ptr<Node> a, b, c;
};

using Node = ReportExpression::Node;
using NodePtr = std::shared_ptr<Node>;

ReportValue ReportValue::fromField(const QVariant &v, bool numericField) {
    if (v.isNull() || !v.isValid()) {
        ReportValue empty = numericField ? of(0.0) : of(QString());
        empty.isNull = true;
        return empty;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
        return of(v.toDouble());
    default:
        break;
    }
    if (numericField) {
        bool ok = false;
        const double n = v.toString().toDouble(&ok);
        if (ok)
            return of(n);
    }
    return of(v.toString());
}

QString ReportValue::toText() const {
    return isText ? text : shortestNumber(number, QLocale().decimalPoint().at(0));
}

double ReportValue::toNumber() const {
    return isText ? text.toDouble() : number;
}

namespace {
class Parser {
public:
    Parser(const QString &text, QVector<NodePtr> &sums) : s_(text), sums_(sums) {}

    NodePtr parseAll() {
        NodePtr n = comparison();
        skip();
        if (i_ < s_.size())
            fail("лишний текст");
        return n;
    }

private:
    [[noreturn]] void fail(const QString &what) {
        throw ReportError{QStringLiteral("Выражение \"%1\": %2 (позиция %3)").arg(s_, what).arg(i_ + 1)};
    }
    void skip() {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
    }
    bool take(const QString &token) {
        skip();
        if (s_.mid(i_, token.size()) == token) {
            i_ += token.size();
            return true;
        }
        return false;
    }
    static NodePtr binary(const QString &op, NodePtr a, NodePtr b) {
        auto n = std::make_shared<Node>();
        n->kind = Node::Binary;
        n->text = op;
        n->a = std::move(a);
        n->b = std::move(b);
        return n;
    }
    NodePtr comparison() {
        NodePtr left = additive();
        for (const char *op : {"<=", ">=", "<>", "=", "<", ">"}) {
            if (take(op))
                return binary(op, left, additive());
        }
        return left;
    }
    NodePtr additive() {
        NodePtr left = term();
        for (;;) {
            if (take("+"))
                left = binary("+", left, term());
            else if (take("-"))
                left = binary("-", left, term());
            else
                return left;
        }
    }
    NodePtr term() {
        NodePtr left = unary();
        for (;;) {
            if (take("*"))
                left = binary("*", left, unary());
            else if (take("/"))
                left = binary("/", left, unary());
            else
                return left;
        }
    }
    NodePtr unary() {
        if (take("-")) {
            auto n = std::make_shared<Node>();
            n->kind = Node::Negate;
            n->a = unary();
            return n;
        }
        return primary();
    }
    NodePtr primary() {
        skip();
        if (i_ >= s_.size())
            fail("выражение оборвано");
        const QChar ch = s_[i_];
        if (take("(")) {
            NodePtr n = comparison();
            if (!take(")"))
                fail("нет закрывающей скобки");
            return n;
        }
        if (ch == '\'') {
            ++i_;
            QString text;
            while (i_ < s_.size()) {
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        text += '\'';
                        i_ += 2;
                        continue;
                    }
                    break;
                }
                text += s_[i_++];
            }
            if (i_ >= s_.size())
                fail("нет закрывающей кавычки");
            ++i_;
            auto n = std::make_shared<Node>();
            n->kind = Node::Text;
            n->text = text;
            return n;
        }
        if (ch.isDigit() || ch == '.') {
            const qsizetype start = i_;
            while (i_ < s_.size() && (s_[i_].isDigit() || s_[i_] == '.'))
                ++i_;
            auto n = std::make_shared<Node>();
            n->kind = Node::Number;
            n->number = s_.mid(start, i_ - start).toDouble();
            return n;
        }
        if (ch.isLetter() || ch == '_') {
            const qsizetype start = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == '_' || s_[i_] == '.'))
                ++i_;
            const QString name = s_.mid(start, i_ - start);
            const QString upper = name.toUpper();
            auto n = std::make_shared<Node>();
            if (take("(")) {
                if (upper == "SUM") {
                    n->kind = Node::Sum;
                    n->a = comparison();
                    n->sumIndex = int(sums_.size());
                    sums_.append(n);
                } else if (upper == "IF") {
                    n->kind = Node::If;
                    n->a = comparison();
                    if (!take(","))
                        fail("IF ждёт три части");
                    n->b = comparison();
                    if (!take(","))
                        fail("IF ждёт три части");
                    n->c = comparison();
                } else if (upper == "STR") {
                    n->kind = Node::Str;
                    n->a = comparison();
                } else {
                    fail("неизвестная функция " + name);
                }
                if (!take(")"))
                    fail("нет закрывающей скобки");
                return n;
            }
            if (upper == "PAGENUMBER" || upper == "PAGE#") {
                n->kind = Node::PageNumber;
                return n;
            }
            n->kind = Node::Field;
            // "t_Report.f_sum7" and "f_sum7" are the same field.
            n->text = name.mid(name.lastIndexOf('.') + 1);
            return n;
        }
        fail("непонятный знак");
    }

    const QString &s_;
    qsizetype i_ = 0;
    QVector<NodePtr> &sums_;
};

ReportValue eval(const Node &n, const ReportContext &ctx) {
    switch (n.kind) {
    case Node::Number:
        return ReportValue::of(n.number);
    case Node::Text:
        return ReportValue::of(n.text);
    case Node::Field:
        return ctx.field ? ctx.field(n.text) : ReportValue::of(QString());
    case Node::Sum:
        return ReportValue::of(ctx.sums && n.sumIndex < ctx.sums->size() ? ctx.sums->at(n.sumIndex) : 0.0);
    case Node::If: {
        const ReportValue c = eval(*n.a, ctx);
        const bool holds = c.isText ? !c.text.isEmpty() : c.number != 0;
        return eval(holds ? *n.b : *n.c, ctx);
    }
    case Node::Str:
        return ReportValue::of(eval(*n.a, ctx).toText());
    case Node::PageNumber:
        return ReportValue::of(double(ctx.page));
    case Node::Negate:
        return ReportValue::of(-eval(*n.a, ctx).toNumber());
    case Node::Binary:
        break;
    }
    const ReportValue a = eval(*n.a, ctx), b = eval(*n.b, ctx);
    const QString &op = n.text;
    if (op == "+") {
        if (a.isText || b.isText)
            return ReportValue::of(a.toText() + b.toText());
        return ReportValue::of(a.number + b.number);
    }
    if (op == "-")
        return ReportValue::of(a.toNumber() - b.toNumber());
    if (op == "*")
        return ReportValue::of(a.toNumber() * b.toNumber());
    if (op == "/") {
        // Nothing to divide by gives 0, not a failure or a non-number on paper.
        const double d = b.toNumber();
        return ReportValue::of(d == 0 ? 0.0 : a.toNumber() / d);
    }
    int cmp;
    if (a.isText && b.isText)
        cmp = QString::compare(a.text, b.text);
    else
        cmp = a.toNumber() < b.toNumber() ? -1 : (a.toNumber() > b.toNumber() ? 1 : 0);
    bool result = false;
    if (op == "=")
        result = cmp == 0;
    else if (op == "<>")
        result = cmp != 0;
    else if (op == "<")
        result = cmp < 0;
    else if (op == ">")
        result = cmp > 0;
    else if (op == "<=")
        result = cmp <= 0;
    else if (op == ">=")
        result = cmp >= 0;
    return ReportValue::of(result ? 1.0 : 0.0);
}
} // namespace

ReportExpression::ReportExpression(const QString &text) : text_(text) {
    Parser p(text_, sums_);
    root_ = p.parseAll();
}

ReportValue ReportExpression::evaluate(const ReportContext &ctx) const {
    return root_ ? eval(*root_, ctx) : ReportValue::of(QString());
}

ReportValue ReportExpression::evaluateSumArgument(int index, const ReportContext &ctx) const {
    return eval(*sums_.at(index)->a, ctx);
}

QString formatReportNumber(double value, const QString &mask) {
    const QChar point = QLocale().decimalPoint().at(0);
    if (mask.isEmpty())
        return shortestNumber(value, point);
    const qsizetype dot = mask.indexOf('.');
    const int fixed = dot < 0 ? 0 : int(mask.mid(dot + 1).count('0'));
    const int optional = dot < 0 ? 0 : int(mask.mid(dot + 1).count('#'));
    QString text = decimalText(value, fixed + optional);
    if (optional > 0) {
        qsizetype keep = text.size();
        for (int k = 0; k < optional && text.at(keep - 1) == '0'; ++k)
            --keep;
        text.truncate(keep);
    }
    return text;
}
